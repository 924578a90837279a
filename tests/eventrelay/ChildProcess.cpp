#include "ChildProcess.h"

#include <stdexcept>

#include "BuildTree.h"
#include "Limits.h"

namespace EventRelayTests {

ChildProcess::ChildProcess(const std::wstring& testFilter) : process_() {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE nothing =
        CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                    OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nothing;
    std::wstring commandLine = L"\"" + BuildTree::testExecutable() + L"\" --gtest_filter=" + testFilter;
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process_);
    CloseHandle(nothing);
    if (!started) {
        throw std::runtime_error("cannot start a child process");
    }
}

ChildProcess::~ChildProcess() {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 1);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

DWORD ChildProcess::waitForExit() {
    const DWORD limit = static_cast<DWORD>(std::chrono::milliseconds(GENEROUS_LIMIT).count()) * 3;
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process_.hProcess, limit) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process_.hProcess, &code);
    }
    return code;
}

} // namespace EventRelayTests
