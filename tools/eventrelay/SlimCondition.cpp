#include "SlimCondition.h"

#include <algorithm>
#include <chrono>

namespace EventRelay {

void SlimCondition::waitUntil(Lock& lock, RelayClock::time_point deadline) {
    const RelayClock::time_point now = RelayClock::now();
    if (deadline <= now) {
        return;
    }
    // Rounded up, so that the wait does not end just before the deadline; a far deadline
    // waits in steps below INFINITE.
    const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
    sleep(lock, static_cast<DWORD>(std::min<decltype(remaining)>(remaining, INFINITE - 1)));
}

void SlimCondition::sleep(Lock& lock, DWORD milliseconds) {
    SleepConditionVariableSRW(&condition_, lock.mutex()->native(), milliseconds, 0);
}

} // namespace EventRelay
