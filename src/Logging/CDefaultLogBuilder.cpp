#include "Logging/CDefaultLogBuilder.h"

#include <memory>

#include "Logging/CLoggingIf_ex.h"
#include "Logging/DefaultLoggerFactory.h"
#include "Logging/LogLevels.h"
#include "Logging/LoggingMechanism.h"

namespace ETWLogging {

CDefaultLogBuilder::CDefaultLogBuilder(std::shared_ptr<LoggerFactoryIf> factory)
    : factory_(factory ? std::move(factory) : std::make_shared<DefaultLoggerFactory>()) {}

CDefaultLogBuilder& CDefaultLogBuilder::Instance() {
    static CDefaultLogBuilder instance;
    return instance;
}

LoggerKind CDefaultLogBuilder::ChooseKind(DWORD mechanism, Vornix::CRegKey* settingsKey) {
    if (mechanism == LOG_MECHANISM_FILE || ReadLoggingMechanism(settingsKey) == LOG_MECHANISM_FILE) {
        return LoggerKind::File;
    }
    return LoggerKind::Trace;
}

bool CDefaultLogBuilder::Build(const wchar_t* group, HMODULE module, const wchar_t* host, DWORD mechanism,
                               CLoggingIf** logger, Vornix::CRegKey* settingsKey) {
    return BuildEx(nullptr, group, module, host, mechanism, logger, settingsKey);
}

bool CDefaultLogBuilder::BuildEx(const wchar_t* applicationName, const wchar_t* group, HMODULE module,
                                 const wchar_t* host, DWORD mechanism, CLoggingIf** logger,
                                 Vornix::CRegKey* settingsKey) {
    const LoggerKind kind = ChooseKind(mechanism, settingsKey);
    if (logger == nullptr || *logger != nullptr || (group != nullptr && *group == L'\0') ||
        (host != nullptr && *host == L'\0')) {
        return false;
    }
    std::unique_ptr<CLoggingIf> created(factory_->Create(kind));
    if (!created || Initialise(*created, applicationName, group, module, host) != ERROR_SUCCESS) {
        return false;
    }
    *logger = created.release();
    (*logger)->AddRef();
    return true;
}

// The extended initialisation first; the plain one when that fails or is not offered.
DWORD CDefaultLogBuilder::Initialise(CLoggingIf& logger, const wchar_t* applicationName, const wchar_t* group,
                                     HMODULE module, const wchar_t* host) {
    if (auto* extended = dynamic_cast<CLoggingIf_ex*>(&logger)) {
        if (extended->InitEx(applicationName, group, module, host, nullptr) == ERROR_SUCCESS) {
            return ERROR_SUCCESS;
        }
    }
    return logger.Init(group, module, host, nullptr);
}

} // namespace ETWLogging
