#pragma once

#include "Logging/ILoggingHandler.h"

namespace ETWLogging {

// Bridges the utility library's messages into the process-wide logger.
class CVornixLogHandler : public Vornix::ILoggingHandler {
public:
    static CVornixLogHandler& Instance();

    void HandleMessage(DWORD type, const wchar_t* file, const wchar_t* function, int line,
                       const wchar_t* message) override;

    // Information and none become Normal, error becomes Error, anything else Warning.
    static DWORD LevelOf(DWORD type);

private:
    CVornixLogHandler() = default;
    ~CVornixLogHandler();
};

} // namespace ETWLogging
