#pragma once

#include "Logging/LoggerFactoryIf.h"

namespace ETWLogging {

// The product's loggers. Neither the file logger nor the trace provider exists yet, so
// nothing can be made and logging stays off.
class DefaultLoggerFactory : public LoggerFactoryIf {
public:
    CLoggingIf* Create(LoggerKind kind) override;
};

} // namespace ETWLogging
