#include "Logging/DefaultLoggerFactory.h"

namespace ETWLogging {

CLoggingIf* DefaultLoggerFactory::Create(LoggerKind) { return nullptr; }

} // namespace ETWLogging
