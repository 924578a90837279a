#pragma once

#include "Logging/LoggerFactoryIf.h"

namespace ETWLogging {

// The product's loggers: the file logger for log files, the trace provider otherwise.
class DefaultLoggerFactory : public LoggerFactoryIf {
public:
    CLoggingIf* Create(LoggerKind kind) override;
};

} // namespace ETWLogging
