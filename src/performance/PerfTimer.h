#pragma once

#include <string>

namespace Corvane {
namespace internal {

// Times a scope and writes one "Q4VXPerfTimer" record to the log when it stops, at the
// latest in the destructor, so that a scope left by an exception is timed as well.
class PerfTimer {
public:
    explicit PerfTimer(const std::wstring& name);
    ~PerfTimer();

    // A copy would write a second record for the same scope.
    PerfTimer(const PerfTimer&) = delete;
    PerfTimer& operator=(const PerfTimer&) = delete;

    // Writes the record (when level Normal is enabled) the first time only.
    void stop() noexcept;

private:
    long long start_;
    std::wstring name_;
    bool stopped_;
};

} // namespace internal
} // namespace Corvane
