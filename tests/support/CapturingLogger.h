#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "Logging/CLoggingIf_ex.h"

namespace PelmoraTests {

struct LogEntry {
    enum class Path { Log, LogEx };
    Path path;
    DWORD level;
    std::wstring file;
    std::wstring function;
    int line;
    std::wstring text;
};

// A logger that keeps every message it is handed, for tests that assert exact log lines.
// Thread-safe: the bus library calls back on its own threads.
template <typename Base> class BasicCapturingLogger : public Base {
public:
    std::vector<LogEntry> entries() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return entries_;
    }
    // The texts only, in order.
    std::vector<std::wstring> texts() const;
    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.clear();
    }

    DWORD enabledLevelsMask = 0xFFFFFFFF; // bit n: level n passes IsLevelEnabled
    DWORD prepareResult = 0;
    DWORD initResult = 0;
    DWORD logResult = 0;
    int initCalls = 0;
    int addRefCalls = 0;

    DWORD Init(const wchar_t*, HMODULE, const wchar_t*, void*) override {
        ++initCalls;
        return initResult;
    }
    DWORD Prepare() override { return prepareResult; }
    DWORD Uninit() override { return 0; }
    void SetEnabled(bool) override {}
    bool IsEnabled() override { return true; }
    void LogF(DWORD, const wchar_t*, const wchar_t*, int, const wchar_t*, ...) override {}
    DWORD Log(const wchar_t* file, const wchar_t* function, int line, DWORD level, const wchar_t* message) override {
        record(LogEntry::Path::Log, level, file, function, line, message);
        return logResult;
    }
    bool IsLevelEnabled(DWORD level) override { return level < 32 && (enabledLevelsMask & (1u << level)) != 0; }
    void SetMaxEntries(DWORD) override {}
    DWORD GetMaxEntries() override { return 0; }
    void SetMaxSize(DWORD) override {}
    DWORD GetMaxSize() override { return 0; }
    void SetSeverity(DWORD) override {}
    DWORD GetSeverity() override { return 0; }
    ULONG AddRef() override { return ++addRefCalls; }
    void LogNormal(const wchar_t*, const wchar_t*, int, const wchar_t*, ...) override {}
    void LogError(const wchar_t*, const wchar_t*, int, const wchar_t*, ...) override {}
    void LogWarning(const wchar_t*, const wchar_t*, int, const wchar_t*, ...) override {}
    void LogCritical(const wchar_t*, const wchar_t*, int, const wchar_t*, ...) override {}
    void LogInformation(const wchar_t*, const wchar_t*, int, const wchar_t*, ...) override {}

protected:
    void record(LogEntry::Path path, DWORD level, const wchar_t* file, const wchar_t* function, int line,
                const wchar_t* message) {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back(LogEntry{path, level, file ? file : L"", function ? function : L"", line,
                                    message ? message : L""});
    }

private:
    mutable std::mutex mutex_;
    std::vector<LogEntry> entries_;
};

template <typename Base> std::vector<std::wstring> BasicCapturingLogger<Base>::texts() const {
    std::vector<std::wstring> result;
    for (const auto& entry : entries()) {
        result.push_back(entry.text);
    }
    return result;
}

// The extended kind, which the call-site sequence hands 2080-character messages through LogEx.
class CapturingLogger : public BasicCapturingLogger<ETWLogging::CLoggingIf_ex> {
public:
    DWORD initExResult = 0;
    int initExCalls = 0;

    DWORD InitEx(const wchar_t*, const wchar_t*, HMODULE, const wchar_t*, ETWLogging::LoggingConfigListenerIf*) override {
        ++initExCalls;
        return initExResult;
    }
    DWORD LogEx(DWORD level, const wchar_t* file, const wchar_t* function, int line, const wchar_t* message) override {
        record(LogEntry::Path::LogEx, level, file, function, line, message);
        return logResult;
    }
};

// The plain kind, which gets whole messages through Log.
class PlainCapturingLogger : public BasicCapturingLogger<ETWLogging::CLoggingIf> {};

// Puts a fresh capturing logger into the process-wide holder (replacing whatever was there)
// and returns it; the holder owns it until the process exits or the next install.
CapturingLogger& InstallCapturingLogger();

// Restores a capturing logger for the rest of a test after one that swapped the holder's logger.
class ScopedHolderLogger {
public:
    explicit ScopedHolderLogger(ETWLogging::CLoggingIf* logger);
    ~ScopedHolderLogger();
    ScopedHolderLogger(const ScopedHolderLogger&) = delete;
    ScopedHolderLogger& operator=(const ScopedHolderLogger&) = delete;

private:
    ETWLogging::CLoggingIf* saved_;
};

} // namespace PelmoraTests
