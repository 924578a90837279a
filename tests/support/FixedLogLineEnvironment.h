#pragma once

#include <windows.h>

#include "Logging/CLogLineEnvironmentIf.h"

namespace PelmoraTests {

// A clock stopped at 31 December 2024, 23:59:07, on thread 5120, for log lines compared whole.
class FixedLogLineEnvironment : public ETWLogging::CLogLineEnvironmentIf {
public:
    SYSTEMTIME time{2024, 12, 2, 31, 23, 59, 7, 0};
    DWORD threadId = 5120;

    void LocalTime(SYSTEMTIME& out) override { out = time; }
    DWORD CurrentThreadId() override { return threadId; }
};

} // namespace PelmoraTests
