#pragma once

#include <windows.h>

namespace ETWLogging {

// What a log line takes from the moment it is written: the local time and the calling thread.
// Replaceable so that whole lines can be compared byte for byte.
class CLogLineEnvironmentIf {
public:
    virtual ~CLogLineEnvironmentIf() = default;
    virtual void LocalTime(SYSTEMTIME& time) = 0;
    virtual DWORD CurrentThreadId() = 0;
};

} // namespace ETWLogging
