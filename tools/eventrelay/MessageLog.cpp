#include "MessageLog.h"

#include "MessageLogLine.h"
#include "NamedMutexLock.h"
#include "ProgramDataFolder.h"

namespace EventRelay {

namespace {
constexpr DWORD MUTEX_TIME_LIMIT_MS = 30000;

Vornix::UniqueHandle openLogMutex() {
    // Global so that services and desktop processes share it; a process that may not open
    // the global object still serialises with its own session.
    Vornix::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, L"Global\\EventRelay.MessageLog"));
    if (!mutex) {
        mutex.reset(CreateMutexW(nullptr, FALSE, L"Local\\EventRelay.MessageLog"));
    }
    return mutex;
}

std::wstring environmentValue(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}
} // namespace

MessageLog::MessageLog() : mutex_(openLogMutex()) {}

bool MessageLog::append(const RelayedMessage& message) {
    const std::wstring file = path();
    if (file.empty()) {
        return false;
    }
    SYSTEMTIME now;
    GetSystemTime(&now);
    return write(file, MessageLogLine::format(message, GetCurrentProcessId(), now));
}

std::wstring MessageLog::path() {
    std::wstring configured = environmentValue(L"EVENTRELAY_LOG");
    return configured.empty() ? defaultPath() : configured;
}

std::wstring MessageLog::defaultPath() {
    const std::wstring programData = ProgramDataFolder::path();
    if (programData.empty()) {
        return {};
    }
    const std::wstring folder = programData + L"\\EventRelay";
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return {};
    }
    return folder + L"\\messages.jsonl";
}

bool MessageLog::write(const std::wstring& file, const std::string& line) {
    NamedMutexLock lock(mutex_.get(), MUTEX_TIME_LIMIT_MS);
    if (!lock.owned()) {
        return false;
    }
    // Append access only: every write lands at the end of the file, whoever else has it open.
    Vornix::UniqueFileHandle handle(CreateFileW(file.c_str(), FILE_APPEND_DATA,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        return false;
    }
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(line.size());
    return WriteFile(handle.get(), line.data(), size, &written, nullptr) && written == size;
}

} // namespace EventRelay
