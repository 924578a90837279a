#pragma once

#include <memory>

#include "Logging/CLogBuilderIf_ex.h"
#include "Logging/LoggerFactoryIf.h"
#include "Logging/LoggerKind.h"

namespace ETWLogging {

// Chooses between the file logger and the trace provider and initialises the one chosen.
class CDefaultLogBuilder : public CLogBuilderIf_ex {
public:
    // An empty factory means the product's own loggers.
    explicit CDefaultLogBuilder(std::shared_ptr<LoggerFactoryIf> factory = nullptr);
    virtual ~CDefaultLogBuilder() = default;

    // The process-wide builder, made on first use.
    static CDefaultLogBuilder& Instance();

    bool Build(const wchar_t* group, HMODULE module, const wchar_t* host, DWORD mechanism, CLoggingIf** logger,
               Vornix::CRegKey* settingsKey) override;
    bool BuildEx(const wchar_t* applicationName, const wchar_t* group, HMODULE module, const wchar_t* host,
                 DWORD mechanism, CLoggingIf** logger, Vornix::CRegKey* settingsKey) override;

    // Mechanism 1 means log files; otherwise the configured mechanism decides, and anything
    // but a configured 1 means the trace provider.
    static LoggerKind ChooseKind(DWORD mechanism, Vornix::CRegKey* settingsKey);

private:
    static DWORD Initialise(CLoggingIf& logger, const wchar_t* applicationName, const wchar_t* group, HMODULE module,
                            const wchar_t* host);

    std::shared_ptr<LoggerFactoryIf> factory_;
};

} // namespace ETWLogging
