#pragma once

#include <mutex>

#include <windows.h>

#include "PendingReply.h"
#include "SlimLock.h"

namespace EventRelay {

// A condition variable over a SlimLock; like the lock, it owns no kernel object.
class SlimCondition {
public:
    using Lock = std::unique_lock<SlimLock>;

    SlimCondition() = default;
    SlimCondition(const SlimCondition&) = delete;
    SlimCondition& operator=(const SlimCondition&) = delete;

    void wait(Lock& lock) { sleep(lock, INFINITE); }
    template <typename Predicate> void wait(Lock& lock, Predicate done) {
        while (!done()) {
            wait(lock);
        }
    }
    // May return early, as any condition wait may.
    void waitUntil(Lock& lock, RelayClock::time_point deadline);
    void notifyAll() { WakeAllConditionVariable(&condition_); }

private:
    void sleep(Lock& lock, DWORD milliseconds);

    CONDITION_VARIABLE condition_ = CONDITION_VARIABLE_INIT;
};

} // namespace EventRelay
