#include "Logging/LoggingMechanism.h"

namespace ETWLogging {

DWORD ReadLoggingMechanism(Vornix::CRegKey*) { return 0; }

} // namespace ETWLogging
