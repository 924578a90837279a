#pragma once

#include <windows.h>

namespace Corvane::Com {

// A Windows critical section whose creation may fail; lockable by std::lock_guard.
class CriticalSection {
public:
    CriticalSection() noexcept : initialised_(InitializeCriticalSectionAndSpinCount(&section_, 0) != FALSE) {}
    ~CriticalSection() {
        if (initialised_) {
            DeleteCriticalSection(&section_);
        }
    }

    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    bool initialised() const noexcept { return initialised_; }

    void lock() noexcept { EnterCriticalSection(&section_); }
    void unlock() noexcept { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_{};
    bool initialised_;
};

} // namespace Corvane::Com
