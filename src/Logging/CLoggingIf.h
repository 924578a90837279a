#pragma once

#include <string>

#include <windows.h>

namespace ETWLogging {

// The logger interface every log statement reaches through the process-wide holder.
// The order of the virtual operations is part of the interface.
class CLoggingIf {
public:
    virtual ~CLoggingIf();
    virtual DWORD Init(const wchar_t* group, HMODULE module, const wchar_t* host, void* reserved) = 0;
    // Called before every message; non-zero drops the message.
    virtual DWORD Prepare() = 0;
    virtual void GetComponentPath(std::wstring& path);
    virtual void GetGroup(std::wstring& group);
    virtual DWORD Uninit() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool IsEnabled() = 0;
    virtual void LogF(DWORD level, const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                      ...) = 0;
    virtual DWORD Log(const wchar_t* file, const wchar_t* function, int line, DWORD level, const wchar_t* message) = 0;
    virtual bool IsLevelEnabled(DWORD level) = 0;
    virtual void SetMaxEntries(DWORD count) = 0;
    virtual DWORD GetMaxEntries() = 0;
    virtual void SetMaxSize(DWORD bytes) = 0;
    virtual DWORD GetMaxSize() = 0;
    virtual void SetSeverity(DWORD level) = 0;
    virtual DWORD GetSeverity() = 0;
    virtual ULONG AddRef();
    virtual ULONG Release();
    virtual void LogNormal(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format, ...) = 0;
    virtual void LogError(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format, ...) = 0;
    virtual void LogWarning(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format, ...) = 0;
    virtual void LogCritical(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format, ...) = 0;
    virtual void LogInformation(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                                ...) = 0;
};

} // namespace ETWLogging
