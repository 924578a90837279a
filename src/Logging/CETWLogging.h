#pragma once

#include <atomic>
#include <cstdarg>
#include <memory>
#include <string>

#include <windows.h>
#include <evntrace.h>

#include "Logging/CLoggingIf_ex.h"
#include "Logging/CriticalSection.h"
#include "Logging/TraceApi.h"
#include "Logging/TraceRecord.h"

namespace ETWLogging {

// A classic (registered class) Event Tracing for Windows provider: each message becomes one
// event with a tagged payload, sent to whichever trace session enabled the provider.
class CETWLogging : public CLoggingIf_ex {
public:
    static const GUID EVENT_CLASS_ID;
    static const GUID PROVIDER_ID;
    static constexpr size_t MESSAGE_CHARS = 2080;
    static constexpr size_t PRINTF_FORM_CHARS = 4160;
    static constexpr DWORD REQUEST_ENABLE = 4;
    static constexpr DWORD REQUEST_DISABLE = 5;

    // Empty: the real trace functions of advapi32.
    explicit CETWLogging(std::shared_ptr<TraceApi> api = nullptr);
    ~CETWLogging() override;
    CETWLogging(const CETWLogging&) = delete;
    CETWLogging& operator=(const CETWLogging&) = delete;

    DWORD Init(const wchar_t* group, HMODULE module, const wchar_t* host, void* reserved) override;
    DWORD Prepare() override;
    void GetComponentPath(std::wstring& path) override;
    void GetGroup(std::wstring& group) override;
    DWORD Uninit() override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() override;
    void LogF(DWORD level, const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
              ...) override;
    DWORD Log(const wchar_t* file, const wchar_t* function, int line, DWORD level,
              const wchar_t* message) override;
    bool IsLevelEnabled(DWORD level) override;
    void SetMaxEntries(DWORD count) override;
    DWORD GetMaxEntries() override;
    void SetMaxSize(DWORD bytes) override;
    DWORD GetMaxSize() override;
    void SetSeverity(DWORD level) override;
    DWORD GetSeverity() override;
    ULONG AddRef() override;
    ULONG Release() override;
    void LogNormal(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                   ...) override;
    void LogError(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                  ...) override;
    void LogWarning(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                    ...) override;
    void LogCritical(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                     ...) override;
    void LogInformation(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                        ...) override;
    DWORD InitEx(const wchar_t* applicationName, const wchar_t* group, HMODULE module, const wchar_t* host,
                 LoggingConfigListenerIf* listener) override;
    DWORD LogEx(DWORD level, const wchar_t* file, const wchar_t* function, int line,
                const wchar_t* message) override;

    virtual DWORD LogV(DWORD level, const wchar_t* file, const wchar_t* function, int line,
                       const wchar_t* format, va_list args);
    virtual DWORD LogExF(DWORD level, const wchar_t* file, const wchar_t* function, int line,
                         const wchar_t* format, ...);
    virtual bool IsOwnSession(TRACEHANDLE handle);
    virtual DWORD OnTraceControl(DWORD requestCode, void* buffer);
    virtual void SetEventClassGuid();
    virtual void GetModuleName(std::wstring& name, HMODULE module, bool stripExtension);
    virtual void BuildComponentPath();
    virtual DWORD UnregisterProvider();
    virtual DWORD Shutdown();
    virtual DWORD MapTraceLevel(DWORD level);
    virtual void FillRecord(const wchar_t* file, const wchar_t* function, int line, TraceRecord& record);

private:
    static ULONG WINAPI ControlCallback(WMIDPREQUESTCODE code, void* context, ULONG* size, void* buffer);
    DWORD EnableSession(void* buffer);
    DWORD DisableSession(void* buffer);
    // What a session's enable or disable does to the logger's switch and level.
    void ApplySessionChange(bool enabled, DWORD level);
    DWORD Register();
    void Send(DWORD level, const TraceRecord& record);
    void LogPrintfForm(DWORD level, const wchar_t* file, const wchar_t* function, int line,
                       const wchar_t* format, va_list args);

    std::shared_ptr<TraceApi> api_;
    std::atomic<bool> registered_{false};
    CriticalSection registrationLock_{4000};
    DWORD processId_ = 0;
    GUID eventClassId_{};
    std::atomic<bool> enabled_{true};
    std::atomic<DWORD> traceLevel_{3};
    std::wstring group_;
    std::wstring host_;
    std::wstring processName_;
    std::wstring moduleName_;
    std::wstring componentPath_;
    std::wstring libraryFileName_;
    std::wstring libraryVersion_;
    std::atomic<TRACEHANDLE> sessionHandle_{0};
    TRACEHANDLE registrationHandle_ = 0;
};

} // namespace ETWLogging
