#pragma once

#include <windows.h>

#include "wrappers/ProcessAPI.h"

namespace PelmoraTests {

// Answers the client's session lookup with fixed values.
class FakeProcessAPI : public Corvane::ProcessAPI {
public:
    FakeProcessAPI(DWORD processId, BOOL lookupResult, DWORD sessionWritten)
        : processId(processId), lookupResult(lookupResult), sessionWritten(sessionWritten) {}

    DWORD getCurrentProcessId() override { return processId; }
    BOOL processIdToSessionId(DWORD requested, DWORD* session) override {
        askedFor = requested;
        *session = sessionWritten;
        return lookupResult;
    }

    DWORD askedFor = 0;

private:
    DWORD processId;
    BOOL lookupResult;
    DWORD sessionWritten;
};

} // namespace PelmoraTests
