#pragma once

#include <windows.h>

namespace EventRelay {

// A slim reader/writer lock used exclusively, for std::unique_lock. Unlike std::mutex (a
// winpthreads mutex in this build) it owns no kernel object, so nothing is lost when a host
// unloads the library while other threads have waited on it.
class SlimLock {
public:
    SlimLock() = default;
    SlimLock(const SlimLock&) = delete;
    SlimLock& operator=(const SlimLock&) = delete;

    void lock() { AcquireSRWLockExclusive(&lock_); }
    void unlock() { ReleaseSRWLockExclusive(&lock_); }
    SRWLOCK* native() { return &lock_; }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};

} // namespace EventRelay
