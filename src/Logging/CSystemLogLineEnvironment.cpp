#include "Logging/CSystemLogLineEnvironment.h"

namespace ETWLogging {

void CSystemLogLineEnvironment::LocalTime(SYSTEMTIME& time) {
    ::GetLocalTime(&time);
}

DWORD CSystemLogLineEnvironment::CurrentThreadId() {
    return ::GetCurrentThreadId();
}

CSystemLogLineEnvironment& CSystemLogLineEnvironment::Instance() {
    static CSystemLogLineEnvironment instance;
    return instance;
}

} // namespace ETWLogging
