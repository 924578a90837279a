#pragma once

#include <windows.h>

namespace ETWLogging {

// A Windows critical section lockable by std::lock_guard; creation cannot fail since Vista.
class CriticalSection {
public:
    explicit CriticalSection(DWORD spinCount) noexcept {
        InitializeCriticalSectionAndSpinCount(&section_, spinCount);
    }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void lock() noexcept { EnterCriticalSection(&section_); }
    void unlock() noexcept { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_{};
};

} // namespace ETWLogging
