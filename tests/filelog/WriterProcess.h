#pragma once

#include <string>

#include <windows.h>

#include "utils/UniqueResource.h"

namespace FileLogTests {

// One filelog_writer process (it lies beside this test) with the event it sets once its
// logger is initialised. Ended if it is still running when the object goes.
class WriterProcess {
public:
    // Arguments after the writer's ready event, which this object makes.
    WriterProcess(const std::wstring& readyEvent, const std::wstring& arguments);
    ~WriterProcess();
    WriterProcess(const WriterProcess&) = delete;
    WriterProcess& operator=(const WriterProcess&) = delete;

    bool started() const { return process_.valid(); }
    DWORD processId() const { return processId_; }
    // True once it is ready; false when it ended first or the limit passed.
    bool waitUntilReady(DWORD limitMs) const;
    // The exit code, or STILL_ACTIVE when it did not end within the limit.
    DWORD waitForExit(DWORD limitMs) const;

private:
    Vornix::UniqueHandle ready_;
    Vornix::UniqueHandle process_;
    DWORD processId_ = 0;
};

} // namespace FileLogTests
