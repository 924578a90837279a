#pragma once

#include <windows.h>

namespace EventRelay {

// Holds a Win32 mutex for a scope. A mutex abandoned by a process that died while holding
// it is still ours: the file it guards holds only whole lines written before.
class NamedMutexLock {
public:
    NamedMutexLock(HANDLE mutex, DWORD timeLimitMs);
    ~NamedMutexLock();
    NamedMutexLock(const NamedMutexLock&) = delete;
    NamedMutexLock& operator=(const NamedMutexLock&) = delete;

    bool owned() const { return owned_; }

private:
    HANDLE mutex_;
    bool owned_;
};

} // namespace EventRelay
