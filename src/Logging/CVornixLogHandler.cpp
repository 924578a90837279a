#include "Logging/CVornixLogHandler.h"

#include "Logging/CLogger.h"
#include "Logging/CLoggerHolder.h"
#include "Logging/LogCalls.h"
#include "Logging/LogLevels.h"

namespace ETWLogging {

CVornixLogHandler& CVornixLogHandler::Instance() {
    static CVornixLogHandler instance;
    return instance;
}

CVornixLogHandler::~CVornixLogHandler() {
    CLoggerHolder* holder = CurrentLoggerHolder();
    if (holder != nullptr && holder->registeredHandler == this) {
        Vornix::CLogger::UnregisterHandler(this);
        holder->registeredHandler = nullptr;
    }
}

DWORD CVornixLogHandler::LevelOf(DWORD type) {
    switch (type) {
    case Vornix::LOG_TYPE_NONE:
    case Vornix::LOG_TYPE_INFORMATION: return LOG_LEVEL_NORMAL;
    case Vornix::LOG_TYPE_ERROR: return LOG_LEVEL_ERROR;
    default: return LOG_LEVEL_WARNING;
    }
}

void CVornixLogHandler::HandleMessage(DWORD type, const wchar_t* file, const wchar_t* function, int line,
                                      const wchar_t* message) {
    CLoggerHolder* holder = CurrentLoggerHolder();
    if (holder != nullptr) {
        LogDirect(holder, file, function, line, LevelOf(type), message);
    }
}

} // namespace ETWLogging
