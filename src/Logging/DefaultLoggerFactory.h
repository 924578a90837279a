#pragma once

#include "Logging/LoggerFactoryIf.h"

namespace ETWLogging {

// The product's loggers: the file logger for log files. The trace provider does not exist yet,
// so with the default mechanism nothing is made and logging stays off.
class DefaultLoggerFactory : public LoggerFactoryIf {
public:
    CLoggingIf* Create(LoggerKind kind) override;
};

} // namespace ETWLogging
