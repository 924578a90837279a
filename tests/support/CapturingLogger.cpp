#include "support/CapturingLogger.h"

#include "Logging/CLoggerHolder.h"
#include "Logging/LogLevels.h"

namespace PelmoraTests {

namespace {
ETWLogging::CLoggerHolder* processHolder() {
    using namespace ETWLogging;
    return GetLogger(defaultApplicationName, defaultGroup, defaultModule, defaultHost, defaultMechanism);
}
} // namespace

CapturingLogger& InstallCapturingLogger() {
    ETWLogging::CLoggerHolder* holder = processHolder();
    auto* logger = new CapturingLogger;
    delete holder->logger;
    holder->logger = logger;
    return *logger;
}

ScopedHolderLogger::ScopedHolderLogger(ETWLogging::CLoggingIf* logger) : saved_(processHolder()->logger) {
    processHolder()->logger = logger;
}

ScopedHolderLogger::~ScopedHolderLogger() { processHolder()->logger = saved_; }

} // namespace PelmoraTests
