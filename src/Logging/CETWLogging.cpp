#include "Logging/CETWLogging.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

#include "Logging/LogFormat.h"
#include "Logging/LogLevels.h"
#include "Logging/TraceLibraryInfo.h"
#include "Logging/TracePayload.h"

namespace ETWLogging {
namespace {

constexpr DWORD LEVEL_FALLBACK = 3;
constexpr DWORD LEVEL_LOWEST = 1;
constexpr DWORD LEVEL_HIGHEST = 6;
constexpr ULONG HEADER_FLAGS = WNODE_FLAG_TRACED_GUID | WNODE_FLAG_USE_MOF_PTR;

// The classic header followed by the one data descriptor it announces.
struct EventWithData {
    EVENT_TRACE_HEADER header;
    MOF_FIELD data;
};
static_assert(sizeof(EventWithData) == 64, "the trace system reads a 64-byte event");

const TRACEHANDLE INVALID_TRACE_HANDLE = static_cast<TRACEHANDLE>(-1);

std::shared_ptr<TraceApi> RealOr(std::shared_ptr<TraceApi> api) {
    return api ? std::move(api) : std::make_shared<TraceApi>();
}

} // namespace

const GUID CETWLogging::EVENT_CLASS_ID = {
    0xCD1DAAD0, 0x54CC, 0x11E0, {0xB8, 0xAF, 0x08, 0x00, 0x20, 0x0C, 0x9A, 0x66}};
const GUID CETWLogging::PROVIDER_ID = {
    0xE16CA450, 0x55CC, 0x11E0, {0xB8, 0xAF, 0x08, 0x00, 0x20, 0x0C, 0x9A, 0x66}};

CETWLogging::CETWLogging(std::shared_ptr<TraceApi> api) : api_(RealOr(std::move(api))) {}

CETWLogging::~CETWLogging() {
    Uninit();
    UnregisterProvider();
}

DWORD CETWLogging::Init(const wchar_t* group, HMODULE module, const wchar_t* host, void* /*reserved*/) {
    return InitEx(nullptr, group, module, host, nullptr);
}

DWORD CETWLogging::InitEx(const wchar_t* /*applicationName*/, const wchar_t* group, HMODULE module,
                          const wchar_t* host, LoggingConfigListenerIf* /*listener*/) {
    if (registered_) {
        return LOG_ERROR_ALREADY_INITIALIZED;
    }
    if ((group != nullptr && *group == L'\0') || (host != nullptr && *host == L'\0')) {
        return ERROR_INVALID_PARAMETER;
    }
    try {
        group_ = group ? group : L"";
        host_ = host ? host : L"";
        GetModuleName(processName_, nullptr, false);
        GetModuleName(moduleName_, module, true);
        BuildComponentPath();
        libraryFileName_ = TraceLibraryInfo::Get().fileName();
        libraryVersion_ = TraceLibraryInfo::Get().version();
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
    ApplySessionChange(true, LEVEL_FALLBACK);
    processId_ = GetCurrentProcessId();
    SetEventClassGuid();
    return ERROR_SUCCESS;
}

DWORD CETWLogging::Prepare() {
    if (registered_) {
        return ERROR_SUCCESS;
    }
    return Register();
}

DWORD CETWLogging::Register() {
    std::lock_guard<CriticalSection> guard(registrationLock_);
    // Another thread may have registered while this one waited.
    if (registered_) {
        return ERROR_SUCCESS;
    }
    TRACE_GUID_REGISTRATION eventClass{&eventClassId_, nullptr};
    TRACEHANDLE handle = 0;
    const ULONG result = api_->RegisterTraceGuids(&ControlCallback, this, &PROVIDER_ID, 1, &eventClass, &handle);
    if (registrationHandle_ != 0) {
        api_->UnregisterTraceGuids(registrationHandle_);
    }
    registrationHandle_ = handle;
    registered_ = true;
    return result;
}

void CETWLogging::GetComponentPath(std::wstring& path) {
    path = componentPath_;
}

void CETWLogging::GetGroup(std::wstring& group) {
    group = group_;
}

DWORD CETWLogging::Uninit() {
    if (!registered_) {
        return ERROR_SUCCESS;
    }
    const DWORD result = Shutdown();
    if (result != ERROR_SUCCESS) {
        return result;
    }
    registered_ = false;
    return ERROR_SUCCESS;
}

void CETWLogging::SetEnabled(bool enabled) {
    enabled_ = enabled;
}

bool CETWLogging::IsEnabled() {
    return enabled_;
}

bool CETWLogging::IsLevelEnabled(DWORD level) {
    return level >= traceLevel_ || level == LEVEL_FALLBACK;
}

void CETWLogging::SetMaxEntries(DWORD /*count*/) {}

DWORD CETWLogging::GetMaxEntries() {
    return 0;
}

void CETWLogging::SetMaxSize(DWORD /*bytes*/) {}

DWORD CETWLogging::GetMaxSize() {
    return 0;
}

void CETWLogging::SetSeverity(DWORD level) {
    traceLevel_ = std::clamp(level, LEVEL_LOWEST, LEVEL_HIGHEST);
}

DWORD CETWLogging::GetSeverity() {
    return traceLevel_;
}

ULONG CETWLogging::AddRef() {
    return 0;
}

ULONG CETWLogging::Release() {
    return 0;
}

void CETWLogging::LogF(DWORD level, const wchar_t* file, const wchar_t* function, int line,
                       const wchar_t* format, ...) {
    if (!enabled_ || !IsLevelEnabled(level) || format == nullptr || *format == L'\0') {
        return;
    }
    std::wstring message;
    va_list args;
    va_start(args, format);
    const bool formatted = FormatWhole(message, format, args);
    va_end(args);
    if (formatted) {
        LogEx(level, file, function, line, message.c_str());
    }
}

DWORD CETWLogging::Log(const wchar_t* file, const wchar_t* function, int line, DWORD level,
                       const wchar_t* message) {
    LogEx(level, file, function, line, message);
    return ERROR_SUCCESS;
}

void CETWLogging::LogPrintfForm(DWORD level, const wchar_t* file, const wchar_t* function, int line,
                                const wchar_t* format, va_list args) {
    wchar_t message[PRINTF_FORM_CHARS];
    FormatBounded(message, PRINTF_FORM_CHARS, format, args);
    Log(file, function, line, level, message);
}

void CETWLogging::LogNormal(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    LogPrintfForm(LOG_LEVEL_NORMAL, file, function, line, format, args);
    va_end(args);
}

void CETWLogging::LogError(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    LogPrintfForm(LOG_LEVEL_ERROR, file, function, line, format, args);
    va_end(args);
}

void CETWLogging::LogWarning(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                             ...) {
    va_list args;
    va_start(args, format);
    LogPrintfForm(LOG_LEVEL_WARNING, file, function, line, format, args);
    va_end(args);
}

void CETWLogging::LogCritical(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                              ...) {
    va_list args;
    va_start(args, format);
    LogPrintfForm(LOG_LEVEL_CRITICAL, file, function, line, format, args);
    va_end(args);
}

void CETWLogging::LogInformation(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                                 ...) {
    va_list args;
    va_start(args, format);
    LogPrintfForm(LOG_LEVEL_INFORMATION, file, function, line, format, args);
    va_end(args);
}

DWORD CETWLogging::LogEx(DWORD level, const wchar_t* file, const wchar_t* function, int line,
                         const wchar_t* message) {
    return LogExF(level, file, function, line, L"%ls", message ? message : L"");
}

DWORD CETWLogging::LogExF(DWORD level, const wchar_t* file, const wchar_t* function, int line,
                          const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const DWORD result = LogV(level, file, function, line, format, args);
    va_end(args);
    return result;
}

DWORD CETWLogging::LogV(DWORD level, const wchar_t* file, const wchar_t* function, int line,
                        const wchar_t* format, va_list args) {
    if (format == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!enabled_ || !IsLevelEnabled(level)) {
        return ERROR_SUCCESS;
    }
    wchar_t message[MESSAGE_CHARS];
    FormatBounded(message, MESSAGE_CHARS, format, args);
    try {
        TraceRecord record;
        FillRecord(file, function, line, record);
        record.messageText = message;
        Send(MapTraceLevel(level), record);
    } catch (const std::bad_alloc&) {
        // A message that cannot be built is lost like one without a session.
    }
    return ERROR_SUCCESS;
}

void CETWLogging::Send(DWORD level, const TraceRecord& record) {
    std::vector<BYTE> payload;
    if (TracePayload::Serialize(record, payload) != ERROR_SUCCESS) {
        return;
    }
    EventWithData event{};
    event.header.Size = sizeof event;
    event.header.Class.Type = 1;
    event.header.Class.Level = static_cast<UCHAR>(level >= 1 && level <= 5 ? level : LEVEL_FALLBACK);
    event.header.Class.Version = 1;
    event.header.Guid = eventClassId_;
    event.header.Flags = HEADER_FLAGS;
    event.data.DataPtr = reinterpret_cast<ULONG64>(payload.data());
    event.data.Length = static_cast<ULONG>(payload.size());
    // Without a session the call fails, and the message is meant to be lost then.
    api_->TraceEvent(sessionHandle_, &event.header);
}

bool CETWLogging::IsOwnSession(TRACEHANDLE handle) {
    return handle == sessionHandle_;
}

ULONG WINAPI CETWLogging::ControlCallback(WMIDPREQUESTCODE code, void* context, ULONG* /*size*/, void* buffer) {
    if (context == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return static_cast<CETWLogging*>(context)->OnTraceControl(static_cast<DWORD>(code), buffer);
}

DWORD CETWLogging::OnTraceControl(DWORD requestCode, void* buffer) {
    switch (requestCode) {
    case REQUEST_ENABLE:
        return EnableSession(buffer);
    case REQUEST_DISABLE:
        return DisableSession(buffer);
    default:
        return ERROR_INVALID_PARAMETER;
    }
}

DWORD CETWLogging::EnableSession(void* buffer) {
    SetLastError(ERROR_SUCCESS);
    const TRACEHANDLE handle = api_->GetTraceLoggerHandle(buffer);
    if (handle == INVALID_TRACE_HANDLE) {
        return GetLastError();
    }
    TRACEHANDLE recorded = 0;
    // Only the first session owns the provider; a second one's enable changes nothing.
    if (!sessionHandle_.compare_exchange_strong(recorded, handle) && recorded != handle) {
        return ERROR_SUCCESS;
    }
    const UCHAR level = api_->GetTraceEnableLevel(handle);
    if (level == 0) {
        return GetLastError();
    }
    api_->GetTraceEnableFlags(handle);
    ApplySessionChange(true, level);
    return ERROR_SUCCESS;
}

DWORD CETWLogging::DisableSession(void* buffer) {
    ApplySessionChange(false, traceLevel_);
    const TRACEHANDLE handle = api_->GetTraceLoggerHandle(buffer);
    if (handle != INVALID_TRACE_HANDLE) {
        TRACEHANDLE expected = handle;
        sessionHandle_.compare_exchange_strong(expected, 0);
    }
    return ERROR_SUCCESS;
}

void CETWLogging::ApplySessionChange(bool enabled, DWORD level) {
    SetEnabled(enabled);
    SetSeverity(level);
}

void CETWLogging::SetEventClassGuid() {
    eventClassId_ = EVENT_CLASS_ID;
}

void CETWLogging::GetModuleName(std::wstring& name, HMODULE module, bool stripExtension) {
    name.clear();
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    name.assign(path, length);
    name.erase(0, name.find_last_of(L'\\') + 1);
    const size_t dot = name.find_last_of(L'.');
    if (stripExtension && dot != std::wstring::npos) {
        name.erase(dot);
    }
}

void CETWLogging::BuildComponentPath() {
    componentPath_ = group_;
    if (!moduleName_.empty()) {
        componentPath_ += L'\\';
        componentPath_ += moduleName_;
    }
}

DWORD CETWLogging::UnregisterProvider() {
    std::lock_guard<CriticalSection> guard(registrationLock_);
    if (registrationHandle_ == 0) {
        return ERROR_SUCCESS;
    }
    const ULONG result = api_->UnregisterTraceGuids(registrationHandle_);
    registrationHandle_ = 0;
    registered_ = false;
    return result;
}

DWORD CETWLogging::Shutdown() {
    SetEnabled(false);
    return UnregisterProvider();
}

DWORD CETWLogging::MapTraceLevel(DWORD level) {
    return level == LEVEL_HIGHEST ? LEVEL_FALLBACK : level;
}

void CETWLogging::FillRecord(const wchar_t* file, const wchar_t* function, int line, TraceRecord& record) {
    record.processId = static_cast<int>(processId_);
    record.threadId = static_cast<int>(GetCurrentThreadId());
    record.processName = processName_;
    record.sourceFile = file ? file : L"";
    record.function = function ? function : L"";
    record.line = line;
    record.libraryFileName = libraryFileName_;
    record.libraryVersion = libraryVersion_;
    record.group = group_;
}

} // namespace ETWLogging
