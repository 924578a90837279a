#include "Logging/DefaultLoggerFactory.h"

#include <new>

#include "Logging/CLogging.h"

namespace ETWLogging {

CLoggingIf* DefaultLoggerFactory::Create(LoggerKind kind) {
    if (kind != LoggerKind::File) {
        return nullptr;
    }
    try {
        return new CLogging;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace ETWLogging
