#include "performance/PerfTimer.h"

#include <windows.h>

#include "Logging/LogCalls.h"
#include "Logging/LogLevels.h"

namespace Corvane {
namespace internal {

namespace {

constexpr long long nanosecondsPerSecond = 1000000000LL;

// Whole seconds and the remainder are scaled apart so that the product cannot overflow.
long long nowInNanoseconds() {
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    const long long ticks = counter.QuadPart;
    const long long perSecond = frequency.QuadPart;
    return (ticks / perSecond) * nanosecondsPerSecond +
           ((ticks % perSecond) * nanosecondsPerSecond) / perSecond;
}

} // namespace

// The start is read last so that copying the name is not part of the measurement.
PerfTimer::PerfTimer(const std::wstring& name) : start_(0), name_(name), stopped_(false) {
    start_ = nowInNanoseconds();
}

PerfTimer::~PerfTimer() {
    stop();
}

void PerfTimer::stop() noexcept {
    if (stopped_) {
        return;
    }
    const long long now = nowInNanoseconds();
    // The log statement itself drops the record while level Normal is disabled.
    HXLOG(ETWLogging::LOG_LEVEL_NORMAL, L"performance\\PerfTimer", L"Corvane::internal::PerfTimer::stop",
          L"Q4VXPerfTimer|%ls|%lld|%lld|%lld", name_.c_str(), start_, now, now - start_);
    stopped_ = true;
}

} // namespace internal
} // namespace Corvane
