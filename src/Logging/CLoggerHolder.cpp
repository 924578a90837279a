#include "Logging/CLoggerHolder.h"

#include <atomic>
#include <mutex>

#include "Logging/CDefaultLogBuilder.h"
#include "Logging/CLogger.h"
#include "Logging/CVornixLogHandler.h"
#include "Logging/LogLevels.h"

namespace ETWLogging {

namespace {
std::atomic<CLoggerHolder*> processHolder{nullptr};
std::once_flag holderCreated;

// Destroyed with the other statics at process exit (or when the DLL is unloaded).
class HolderCleanup {
public:
    ~HolderCleanup() {
        if (CLoggerHolder* holder = processHolder.load()) {
            holder->Release();
        }
    }
};
} // namespace

const wchar_t* const defaultApplicationName = nullptr;
const wchar_t* const defaultGroup = L"_no_group";
const HMODULE defaultModule = nullptr;
const wchar_t* const defaultHost = L"_no_host";
const DWORD defaultMechanism = LOG_MECHANISM_CONFIGURED;

CLoggerHolder::~CLoggerHolder() { Release(); }

void CLoggerHolder::Populate(CLogBuilderIf_ex& builder, const wchar_t* applicationName, const wchar_t* group,
                             HMODULE module, const wchar_t* host, DWORD mechanism) {
    CLoggingIf* built = nullptr;
    if (!builder.BuildEx(applicationName, group, module, host, mechanism, &built, nullptr) &&
        !builder.Build(group, module, host, mechanism, &built, nullptr)) {
        return;
    }
    delete logger;
    logger = built;

    Vornix::ILoggingHandler* bridge = &CVornixLogHandler::Instance();
    if (Vornix::CLogger::RegisterHandler(bridge) == ERROR_SUCCESS) {
        Vornix::ILoggingHandler* previous = registeredHandler;
        registeredHandler = bridge;
        if (previous != nullptr && previous != bridge) {
            Vornix::CLogger::UnregisterHandler(previous);
        }
    }
}

void CLoggerHolder::Release() {
    if (registeredHandler != nullptr) {
        Vornix::CLogger::UnregisterHandler(registeredHandler);
        registeredHandler = nullptr;
    }
    delete logger;
    logger = nullptr;
}

CLoggerHolder* GetLogger(const wchar_t* applicationName, const wchar_t* group, HMODULE module, const wchar_t* host,
                         DWORD mechanism) {
    std::call_once(holderCreated, [&] {
        static HolderCleanup cleanup;
        // Never freed: statics destroyed after the clean-up may still log (into nothing).
        // Published first, so that messages arriving while the logger is built find it.
        auto* holder = new CLoggerHolder;
        processHolder.store(holder);
        holder->Populate(CDefaultLogBuilder::Instance(), applicationName, group, module, host, mechanism);
    });
    return processHolder.load();
}

CLoggerHolder* CurrentLoggerHolder() noexcept { return processHolder.load(); }

} // namespace ETWLogging
