#pragma once

#include "RecordedCall.h"

// Appends calls to the file named by FAKE_BUS_RECORD; records nothing when it is unset.
class CallRecorder {
public:
    static void record(const RecordedCall& call);

private:
    static std::wstring recordPath();
};
