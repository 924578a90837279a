#pragma once

#include "Logging/CLogLineEnvironmentIf.h"

namespace ETWLogging {

// The system's clock and the calling thread.
class CSystemLogLineEnvironment : public CLogLineEnvironmentIf {
public:
    void LocalTime(SYSTEMTIME& time) override;
    DWORD CurrentThreadId() override;

    // One shared instance; it holds no state.
    static CSystemLogLineEnvironment& Instance();
};

} // namespace ETWLogging
