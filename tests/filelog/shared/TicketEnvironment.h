#pragma once

#include "Logging/CLogLineEnvironmentIf.h"
#include "SharedTicketCounter.h"

namespace FileLogTests {

// The logger asks for the thread id once per line, while it holds the executable's log mutex
// and after it has opened the file: a ticket taken there, printed as the thread id, is the
// line's place in the order of all writes of all processes.
class TicketEnvironment : public ETWLogging::CLogLineEnvironmentIf {
public:
    explicit TicketEnvironment(SharedTicketCounter& tickets) : tickets_(tickets) {}

    void LocalTime(SYSTEMTIME& time) override { GetLocalTime(&time); }
    DWORD CurrentThreadId() override { return static_cast<DWORD>(tickets_.next()); }

private:
    SharedTicketCounter& tickets_;
};

} // namespace FileLogTests
