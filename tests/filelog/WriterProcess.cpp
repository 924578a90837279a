#include "WriterProcess.h"

#include <filesystem>

namespace FileLogTests {

namespace {

std::wstring writerExecutable() {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(std::wstring(self, length)).parent_path().wstring() +
           L"\\filelog_writer.exe";
}

} // namespace

WriterProcess::WriterProcess(const std::wstring& readyEvent, const std::wstring& arguments)
    : ready_(CreateEventW(nullptr, TRUE, FALSE, readyEvent.c_str())) {
    const std::wstring program = writerExecutable();
    std::wstring commandLine = L"\"" + program + L"\" \"" + readyEvent + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (ready_ && CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process)) {
        process_.reset(process.hProcess);
        CloseHandle(process.hThread);
        processId_ = process.dwProcessId;
    }
}

// A writer left running would hold on to the test's folder.
WriterProcess::~WriterProcess() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 3);
        WaitForSingleObject(process_.get(), INFINITE);
    }
}

bool WriterProcess::waitUntilReady(DWORD limitMs) const {
    const HANDLE either[] = {ready_.get(), process_.get()};
    return started() && WaitForMultipleObjects(2, either, FALSE, limitMs) == WAIT_OBJECT_0;
}

DWORD WriterProcess::waitForExit(DWORD limitMs) const {
    DWORD code = STILL_ACTIVE;
    if (started() && WaitForSingleObject(process_.get(), limitMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process_.get(), &code);
    }
    return code;
}

} // namespace FileLogTests
