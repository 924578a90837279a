#include "NamedMutexLock.h"

namespace EventRelay {

NamedMutexLock::NamedMutexLock(HANDLE mutex, DWORD timeLimitMs) : mutex_(mutex), owned_(false) {
    if (mutex_ != nullptr) {
        const DWORD result = WaitForSingleObject(mutex_, timeLimitMs);
        owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }
}

NamedMutexLock::~NamedMutexLock() {
    if (owned_) {
        ReleaseMutex(mutex_);
    }
}

} // namespace EventRelay
