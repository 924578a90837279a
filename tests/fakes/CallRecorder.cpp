#include "CallRecorder.h"

#include <memory>
#include <mutex>

namespace {
// Calls may come from several threads; each line must stay whole and in order.
std::mutex recordMutex;

} // namespace

void CallRecorder::record(const RecordedCall& call) {
    const std::wstring path = recordPath();
    if (path.empty()) {
        return;
    }
    const std::string line = call.line();
    std::lock_guard<std::mutex> lock(recordMutex);
    const HANDLE opened =
        CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::unique_ptr<void, decltype(&CloseHandle)> file(opened, &CloseHandle);
    DWORD written = 0;
    WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::wstring CallRecorder::recordPath() {
    wchar_t buffer[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(L"FAKE_BUS_RECORD", buffer, MAX_PATH * 2);
    return length > 0 && length < MAX_PATH * 2 ? std::wstring(buffer, length) : std::wstring();
}
