// One of several processes of this executable that write to the same log files at once:
//   filelog_writer READY_EVENT START_EVENT ROOT TICKETS PROCESS LINES
// It makes ROOT its common application-data folder, initialises a file logger, sets
// READY_EVENT, waits for START_EVENT, then logs LINES tagged messages of writer PROCESS,
// taking each line's ticket from the shared counter TICKETS.
// Exit status: 0 every line logged, else the first error Log returned; 1 bad command line
// or set-up; 2 no start within a minute.
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include <shellapi.h>

#include "FixedProgramDataShell.h"
#include "Logging/CLogging.h"
#include "SharedTicketCounter.h"
#include "TaggedMessage.h"
#include "TicketEnvironment.h"
#include "utils/UniqueResource.h"

namespace {

using namespace FileLogTests;

constexpr DWORD START_LIMIT_MS = 60000;
constexpr DWORD SET_UP_FAILED = 1;
constexpr DWORD NOT_STARTED = 2;
constexpr DWORD LOG_LEVEL_ERROR = 4;

struct Arguments {
    std::wstring readyEvent;
    std::wstring startEvent;
    std::wstring root;
    std::wstring tickets;
    unsigned process = 0;
    unsigned lines = 0;
};

struct LocalFreeDeleter {
    void operator()(LPWSTR* arguments) const { LocalFree(arguments); }
};

bool parseArguments(Arguments& parsed) {
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreeDeleter> arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!arguments || count != 7) {
        return false;
    }
    LPWSTR* argument = arguments.get();
    parsed = {argument[1],
              argument[2],
              argument[3],
              argument[4],
              static_cast<unsigned>(std::wcstoul(argument[5], nullptr, 10)),
              static_cast<unsigned>(std::wcstoul(argument[6], nullptr, 10))};
    return parsed.lines > 0;
}

DWORD waitForStart(const Arguments& arguments) {
    const Vornix::UniqueHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, arguments.readyEvent.c_str()));
    const Vornix::UniqueHandle start(OpenEventW(SYNCHRONIZE, FALSE, arguments.startEvent.c_str()));
    if (!ready || !start || !SetEvent(ready.get())) {
        return SET_UP_FAILED;
    }
    return WaitForSingleObject(start.get(), START_LIMIT_MS) == WAIT_OBJECT_0 ? ERROR_SUCCESS : NOT_STARTED;
}

// Every line is tried, so that the files show whatever a failure did to the others.
DWORD writeLines(ETWLogging::CLogging& logger, const Arguments& arguments) {
    DWORD firstError = ERROR_SUCCESS;
    for (unsigned sequence = 0; sequence < arguments.lines; ++sequence) {
        const std::wstring message = taggedMessage(arguments.process, sequence);
        const DWORD result = logger.Log(WRITER_SOURCE, WRITER_FUNCTION, static_cast<int>(sequence),
                                        LOG_LEVEL_ERROR, message.c_str());
        if (firstError == ERROR_SUCCESS) {
            firstError = result;
        }
    }
    return firstError;
}

DWORD run(const Arguments& arguments) {
    SharedTicketCounter tickets(arguments.tickets);
    if (!tickets.valid()) {
        return SET_UP_FAILED;
    }
    ETWLogging::CLogging logger(std::make_shared<FixedProgramDataShell>(arguments.root),
                                std::make_shared<TicketEnvironment>(tickets));
    if (logger.Init(L"_no_group", nullptr, L"_no_host", nullptr) != ERROR_SUCCESS) {
        return SET_UP_FAILED;
    }
    if (const DWORD error = waitForStart(arguments)) {
        return error;
    }
    const DWORD result = writeLines(logger, arguments);
    logger.Uninit();
    return result;
}

} // namespace

int main() {
    Arguments arguments;
    if (!parseArguments(arguments)) {
        return SET_UP_FAILED;
    }
    return static_cast<int>(run(arguments));
}
