#pragma once

namespace ETWLogging {

// The two loggers the builder can choose between.
enum class LoggerKind {
    File,  // rotating text log files
    Trace, // Event Tracing for Windows provider, the default
};

} // namespace ETWLogging
