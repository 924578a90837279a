#pragma once

#include <atomic>
#include <memory>
#include <string>

#include <windows.h>

#include "Logging/CLogLineEnvironmentIf.h"
#include "Logging/CLoggingIf.h"
#include "Logging/LogFileDefaults.h"
#include "utils/ShlObjAPI.h"
#include "utils/UniqueResource.h"

namespace ETWLogging {

class CLogIniSettings;

// The file logger: one line per Log call appended to a small ring of numbered UTF-16 files
// per executable below the common application-data folder. Every process of the same
// executable name writes under one named mutex, and each line opens, appends and closes,
// so that all writers see whole lines.
class CLogging : public CLoggingIf {
public:
    // Longest wait for the executable's log mutex; then the call gives up with 1460.
    static constexpr DWORD MUTEX_WAIT_MS = 7000;
    // Severity after the log folder turned out impossible to create: no level passes.
    static constexpr DWORD SEVERITY_OFF = 10000;

    // Empty collaborators: the shell's known folders; the system's clock and thread ids.
    explicit CLogging(std::shared_ptr<Vornix::ShlObjAPI> shell = nullptr,
                      std::shared_ptr<CLogLineEnvironmentIf> environment = nullptr);
    ~CLogging() override;
    CLogging(const CLogging&) = delete;
    CLogging& operator=(const CLogging&) = delete;

    DWORD Init(const wchar_t* group, HMODULE module, const wchar_t* host, void* reserved) override;
    DWORD Prepare() override;
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

    // The common application-data folder; 87 without a buffer or folder, 80 when it was cut
    // to fit.
    virtual DWORD GetLogRootFolder(wchar_t* buffer, DWORD capacity);

private:
    enum class FolderCheck { Create, Passed, Failed };

    DWORD AcquireMutex(Vornix::UniqueMutexOwnership& owned) const;
    DWORD Initialise(const wchar_t* group, HMODULE module, const wchar_t* host,
                     Vornix::UniqueMutexOwnership& owned);
    DWORD CreateMutexOnce();
    DWORD BuildPaths();
    void Apply(const CLogIniSettings& settings);
    void Reset();
    DWORD Write(const wchar_t* file, const wchar_t* function, int line, DWORD level, const wchar_t* message);
    DWORD AppendLine(const wchar_t* file, const wchar_t* function, int line, DWORD level,
                     const wchar_t* message);
    bool PassFirstWriteCheck();
    void LogFormatted(DWORD level, const wchar_t* file, const wchar_t* function, int line,
                      const wchar_t* format, va_list args);

    std::shared_ptr<Vornix::ShlObjAPI> shell_;
    std::shared_ptr<CLogLineEnvironmentIf> environment_;

    // Changed only under the mutex (Init, Uninit) and read only under it (Log).
    bool initialized_ = false;
    std::wstring group_;
    std::wstring executableBaseName_;
    std::wstring componentName_;
    DWORD processId_ = 0;
    std::wstring host_;
    std::wstring logFolder_;
    Vornix::UniqueFileHandle file_;
    std::wstring globalIniPath_;
    std::wstring perLogIniPath_;
    FolderCheck firstWriteCheck_ = FolderCheck::Create;

    std::atomic<LONG> referenceCount_{0};
    Vornix::UniqueHandle mutex_;

    // Other threads may change these at any time.
    std::atomic<DWORD> maxSize_{LOG_FILE_DEFAULT_MAX_SIZE};
    std::atomic<DWORD> maxEntries_{LOG_FILE_DEFAULT_MAX_ENTRIES};
    std::atomic<DWORD> severity_{LOG_FILE_DEFAULT_SEVERITY};
    std::atomic<DWORD> options_{LOG_FILE_DEFAULT_OPTIONS};
    std::atomic<bool> enabled_{LOG_FILE_DEFAULT_ENABLED != 0};
};

} // namespace ETWLogging
