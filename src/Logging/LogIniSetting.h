#pragma once

#include <array>
#include <string>

#include "Logging/LogFileDefaults.h"

namespace Vornix {
class CBaseIniReader;
}

namespace ETWLogging {

// One of the file logger's settings with its default and the values it accepts.
class LogIniSetting {
public:
    constexpr LogIniSetting(const wchar_t* name, int defaultValue, int min, int max)
        : name_(name), default_(defaultValue), min_(min), max_(max) {}

    // Enable, MaxSize, MaxEntries, Severity, Options: the order in which the logger applies them.
    static const std::array<LogIniSetting, 5>& All();
    // Compared without regard to case, as the profile functions do; null when there is none.
    static const LogIniSetting* Find(const std::wstring& name);

    const wchar_t* Name() const { return name_; }
    int Default() const { return default_; }
    int Min() const { return min_; }
    int Max() const { return max_; }
    bool IsValid(int value) const { return value >= min_ && value <= max_; }

    // The value the logger takes: the per-executable file's when valid, else the root file's
    // when valid, else the default. Invalid values are passed over here, not repaired.
    int Effective(const Vornix::CBaseIniReader& perExecutable, const Vornix::CBaseIniReader& root) const;

private:
    bool ValidIn(const Vornix::CBaseIniReader& ini, int& value) const;

    const wchar_t* name_;
    int default_;
    int min_;
    int max_;
};

} // namespace ETWLogging
