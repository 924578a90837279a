#include "Logging/DefaultLoggerFactory.h"

#include <new>

#include "Logging/CETWLogging.h"
#include "Logging/CLogging.h"

namespace ETWLogging {

CLoggingIf* DefaultLoggerFactory::Create(LoggerKind kind) {
    try {
        if (kind == LoggerKind::File) {
            return new CLogging;
        }
        return new CETWLogging;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace ETWLogging
