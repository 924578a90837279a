#pragma once

#include <string>

#include <windows.h>

namespace EventRelayTests {

// Another process of this test executable running the given tests, with this process's
// environment and its output discarded. Ended if still running when the object goes.
class ChildProcess {
public:
    explicit ChildProcess(const std::wstring& testFilter);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD waitForExit();

private:
    PROCESS_INFORMATION process_;
};

} // namespace EventRelayTests
