#pragma once

#include "Logging/CLogBuilderIf.h"

namespace ETWLogging {

class CLogBuilderIf_ex : public CLogBuilderIf {
public:
    virtual bool BuildEx(const wchar_t* applicationName, const wchar_t* group, HMODULE module, const wchar_t* host,
                         DWORD mechanism, CLoggingIf** logger, Vornix::CRegKey* settingsKey) = 0;

protected:
    ~CLogBuilderIf_ex() = default;
};

} // namespace ETWLogging
