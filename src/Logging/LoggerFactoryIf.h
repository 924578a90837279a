#pragma once

#include "Logging/CLoggingIf.h"
#include "Logging/LoggerKind.h"

namespace ETWLogging {

// Makes the uninitialised logger object of a kind; null when that kind cannot be made.
class LoggerFactoryIf {
public:
    virtual ~LoggerFactoryIf() = default;
    virtual CLoggingIf* Create(LoggerKind kind) = 0;
};

} // namespace ETWLogging
