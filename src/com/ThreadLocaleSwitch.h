#pragma once

#include <windows.h>

namespace Corvane::Com {

// Gives the calling thread another locale for one scope, then the one it had.
class ThreadLocaleSwitch {
public:
    explicit ThreadLocaleSwitch(LCID locale) noexcept : saved_(GetThreadLocale()) { SetThreadLocale(locale); }
    ~ThreadLocaleSwitch() { SetThreadLocale(saved_); }

    ThreadLocaleSwitch(const ThreadLocaleSwitch&) = delete;
    ThreadLocaleSwitch& operator=(const ThreadLocaleSwitch&) = delete;

private:
    LCID saved_;
};

} // namespace Corvane::Com
