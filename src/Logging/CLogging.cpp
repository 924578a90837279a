#include "Logging/CLogging.h"

#include <algorithm>
#include <cstdarg>
#include <cwchar>
#include <new>

#include "Logging/CLogFileRing.h"
#include "Logging/CLogIniSettings.h"
#include "Logging/FormatLine.h"
#include "Logging/LogFileLayout.h"
#include "Logging/LogFormat.h"
#include "Logging/LogLevels.h"
#include "utils/FileSystemHelpers.h"

namespace ETWLogging {

namespace {

// Messages of the printf forms are cut to fit.
constexpr std::size_t FORMATTED_MESSAGE_CHARS = 4160;
constexpr const wchar_t* MUTEX_SUFFIX = L"CAD0E02E86CD4436B6318C111B9092AC";
// Reported when the application-data folder had to be cut to fit the caller's buffer.
constexpr DWORD ERROR_ROOT_FOLDER_CUT = 80;

std::wstring FileNameOf(const wchar_t* path) {
    const wchar_t* backslash = std::wcsrchr(path, L'\\');
    return backslash != nullptr ? backslash + 1 : path;
}

std::wstring WithoutExtension(const std::wstring& fileName) {
    return fileName.substr(0, fileName.rfind(L'.'));
}

// A cut path would name another executable or module, so it counts as a failure.
DWORD ModulePath(HMODULE module, wchar_t (&path)[MAX_PATH]) {
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0) {
        return GetLastError();
    }
    return length < MAX_PATH ? ERROR_SUCCESS : ERROR_INSUFFICIENT_BUFFER;
}

bool IsGivenButEmpty(const wchar_t* text) {
    return text != nullptr && *text == L'\0';
}

} // namespace

CLogging::CLogging(std::shared_ptr<Vornix::ShlObjAPI> shell,
                   std::shared_ptr<CLogLineEnvironmentIf> environment)
    : shell_(shell ? std::move(shell) : std::make_shared<Vornix::ShlObjAPI>()),
      environment_(std::move(environment)) {}

CLogging::~CLogging() = default;

DWORD CLogging::Init(const wchar_t* group, HMODULE module, const wchar_t* host, void*) {
    Vornix::UniqueMutexOwnership owned;
    if (mutex_) {
        if (const DWORD error = AcquireMutex(owned)) {
            return error;
        }
    }
    if (initialized_) {
        return LOG_ERROR_ALREADY_INITIALIZED;
    }
    DWORD result = ERROR_OUTOFMEMORY;
    try {
        result = Initialise(group, module, host, owned);
    } catch (const std::bad_alloc&) {
    }
    if (result != ERROR_SUCCESS) {
        Reset();
    }
    return result;
}

DWORD CLogging::Initialise(const wchar_t* group, HMODULE module, const wchar_t* host,
                           Vornix::UniqueMutexOwnership& owned) {
    if (IsGivenButEmpty(group) || IsGivenButEmpty(host)) {
        return ERROR_INVALID_PARAMETER;
    }
    group_ = group != nullptr ? group : L"";
    wchar_t executable[MAX_PATH];
    if (const DWORD error = ModulePath(nullptr, executable)) {
        return error;
    }
    componentName_ = FileNameOf(executable);
    executableBaseName_ = WithoutExtension(componentName_);
    if (!mutex_) {
        if (const DWORD error = CreateMutexOnce()) {
            return error;
        }
        // The settings files are shared with the other processes' rotation.
        if (const DWORD error = AcquireMutex(owned)) {
            return error;
        }
    }
    wchar_t modulePath[MAX_PATH];
    if (module != nullptr && ModulePath(module, modulePath) == ERROR_SUCCESS) {
        componentName_ = FileNameOf(modulePath);
    }
    host_ = host != nullptr ? host : L"";
    if (const DWORD error = BuildPaths()) {
        return error;
    }
    CLogIniSettings settings;
    if (const DWORD error = settings.Read(perLogIniPath_, globalIniPath_)) {
        return error;
    }
    Apply(settings);
    processId_ = GetCurrentProcessId();
    initialized_ = true;
    return ERROR_SUCCESS;
}

// Created once and kept: the name depends only on the executable, and another thread may be
// waiting on the handle.
DWORD CLogging::CreateMutexOnce() {
    wchar_t name[MAX_PATH];
    if (std::swprintf(name, MAX_PATH, L"%ls_%ls", executableBaseName_.c_str(), MUTEX_SUFFIX) < 0) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    mutex_.reset(CreateMutexW(nullptr, FALSE, name));
    return mutex_ ? ERROR_SUCCESS : GetLastError();
}

DWORD CLogging::BuildPaths() {
    wchar_t programData[MAX_PATH];
    if (const DWORD error = GetLogRootFolder(programData, MAX_PATH)) {
        return error;
    }
    const std::wstring root = LogFileLayout::RootBelow(programData);
    const LogFileLayout layout(root, group_.empty() ? nullptr : group_.c_str(), executableBaseName_,
                               host_.c_str());
    logFolder_ = layout.LogFolder();
    perLogIniPath_ = layout.PerExecutableIniPath();
    globalIniPath_ = LogFileLayout::RootIniPath(root);
    return ERROR_SUCCESS;
}

void CLogging::Apply(const CLogIniSettings& settings) {
    if (settings.enable) {
        enabled_ = *settings.enable != 0;
    }
    if (settings.maxSize) {
        SetMaxSize(*settings.maxSize);
    }
    if (settings.maxEntries) {
        SetMaxEntries(*settings.maxEntries);
    }
    if (settings.severity) {
        severity_ = *settings.severity; // 0 included: every level passes
    }
    if (settings.options) {
        options_ = *settings.options;
    }
}

// Back to a new object's state; the mutex and the reference count belong to the object's life.
void CLogging::Reset() {
    initialized_ = false;
    group_.clear();
    executableBaseName_.clear();
    componentName_.clear();
    processId_ = 0;
    host_.clear();
    logFolder_.clear();
    file_.reset();
    globalIniPath_.clear();
    perLogIniPath_.clear();
    firstWriteCheck_ = FolderCheck::Create;
    maxSize_ = LOG_FILE_DEFAULT_MAX_SIZE;
    maxEntries_ = LOG_FILE_DEFAULT_MAX_ENTRIES;
    severity_ = LOG_FILE_DEFAULT_SEVERITY;
    options_ = LOG_FILE_DEFAULT_OPTIONS;
    enabled_ = LOG_FILE_DEFAULT_ENABLED != 0;
}

// An abandoned mutex is ours all the same: its owner died, but every line is written whole
// before the file is closed, so nothing half-written is left behind.
DWORD CLogging::AcquireMutex(Vornix::UniqueMutexOwnership& owned) const {
    switch (WaitForSingleObject(mutex_.get(), MUTEX_WAIT_MS)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:
        owned.reset(mutex_.get());
        return ERROR_SUCCESS;
    case WAIT_TIMEOUT:
        return ERROR_TIMEOUT;
    case WAIT_FAILED:
        return GetLastError();
    default:
        return ERROR_INVALID_HANDLE;
    }
}

DWORD CLogging::Prepare() {
    return ERROR_SUCCESS;
}

DWORD CLogging::Uninit() {
    if (!mutex_) {
        return LOG_ERROR_NOT_INITIALIZED;
    }
    Vornix::UniqueMutexOwnership owned;
    if (const DWORD error = AcquireMutex(owned)) {
        return error;
    }
    if (!initialized_) {
        return LOG_ERROR_NOT_INITIALIZED;
    }
    Reset();
    return ERROR_SUCCESS;
}

void CLogging::SetEnabled(bool enabled) {
    enabled_ = enabled;
}

bool CLogging::IsEnabled() {
    return enabled_;
}

DWORD CLogging::Log(const wchar_t* file, const wchar_t* function, int line, DWORD level,
                    const wchar_t* message) {
    if (!mutex_) {
        return LOG_ERROR_NOT_INITIALIZED;
    }
    Vornix::UniqueMutexOwnership owned;
    if (const DWORD error = AcquireMutex(owned)) {
        return error;
    }
    // Not initialised, there is no folder to check: the check must not switch the logger off.
    if (!initialized_) {
        return LOG_ERROR_NOT_INITIALIZED;
    }
    return Write(file, function, line, level, message);
}

DWORD CLogging::Write(const wchar_t* file, const wchar_t* function, int line, DWORD level,
                      const wchar_t* message) {
    if (!PassFirstWriteCheck() || message == nullptr || *message == L'\0') {
        return ERROR_INVALID_PARAMETER;
    }
    // Open only while this call writes; one already open belongs to a write under way.
    const DWORD opened = CLogFileRing(logFolder_, executableBaseName_, host_, perLogIniPath_)
                             .Open(maxSize_, maxEntries_, file_);
    if (opened != ERROR_SUCCESS) {
        return opened;
    }
    const DWORD result = AppendLine(file, function, line, level, message);
    file_.reset();
    return result;
}

DWORD CLogging::AppendLine(const wchar_t* file, const wchar_t* function, int line, DWORD level,
                           const wchar_t* message) {
    const DWORD options = options_;
    const LogLineSource source{componentName_.c_str(), processId_, options, environment_.get()};
    DWORD byteSize = 0;
    std::unique_ptr<wchar_t[]> text;
    if (const DWORD error = FormatLine(source, file, function, line, level, message, &byteSize, &text)) {
        return error;
    }
    const DWORD bytes = byteSize - sizeof(wchar_t);
    DWORD written = 0;
    DWORD result = ERROR_SUCCESS;
    if (!WriteFile(file_.get(), text.get(), bytes, &written, nullptr)) {
        result = GetLastError();
    } else if (written != bytes) {
        result = ERROR_DISK_FULL;
    }
    if ((options & LOG_OPTION_DEBUGGER) != 0 && text[0] != L'\0') {
        OutputDebugStringW(text.get());
    }
    return result;
}

// The log folder is made on the first write. If that fails the logger stays off for good.
bool CLogging::PassFirstWriteCheck() {
    if (firstWriteCheck_ == FolderCheck::Create) {
        if (Vornix::createDirectory(logFolder_.c_str())) {
            firstWriteCheck_ = FolderCheck::Passed;
        } else {
            enabled_ = false;
            severity_ = SEVERITY_OFF;
            firstWriteCheck_ = FolderCheck::Failed;
        }
    }
    return firstWriteCheck_ == FolderCheck::Passed;
}

bool CLogging::IsLevelEnabled(DWORD level) {
    return level >= severity_;
}

void CLogging::SetMaxEntries(DWORD count) {
    maxEntries_ = std::clamp(count, LOG_FILE_MIN_MAX_ENTRIES, LOG_FILE_MAX_MAX_ENTRIES);
}

DWORD CLogging::GetMaxEntries() {
    return maxEntries_;
}

void CLogging::SetMaxSize(DWORD bytes) {
    maxSize_ = std::clamp(bytes, LOG_FILE_MIN_MAX_SIZE, LOG_FILE_MAX_MAX_SIZE);
}

DWORD CLogging::GetMaxSize() {
    return maxSize_;
}

void CLogging::SetSeverity(DWORD level) {
    severity_ = std::clamp<DWORD>(level, LOG_LEVEL_NORMAL, LOG_LEVEL_INFORMATION2);
}

DWORD CLogging::GetSeverity() {
    return severity_;
}

ULONG CLogging::AddRef() {
    return static_cast<ULONG>(++referenceCount_);
}

ULONG CLogging::Release() {
    const LONG count = --referenceCount_;
    if (count == 0) {
        delete this;
    }
    return static_cast<ULONG>(count);
}

void CLogging::LogFormatted(DWORD level, const wchar_t* file, const wchar_t* function, int line,
                            const wchar_t* format, va_list args) {
    wchar_t message[FORMATTED_MESSAGE_CHARS];
    FormatBounded(message, FORMATTED_MESSAGE_CHARS, format, args);
    Log(file, function, line, level, message);
}

void CLogging::LogF(DWORD level, const wchar_t* file, const wchar_t* function, int line,
                    const wchar_t* format, ...) {
    if (!enabled_ || !IsLevelEnabled(level)) {
        return;
    }
    va_list args;
    va_start(args, format);
    LogFormatted(level, file, function, line, format, args);
    va_end(args);
}

// The per-level forms write at their level whatever the severity and the switch.
void CLogging::LogNormal(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    LogFormatted(LOG_LEVEL_NORMAL, file, function, line, format, args);
    va_end(args);
}

void CLogging::LogError(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    LogFormatted(LOG_LEVEL_ERROR, file, function, line, format, args);
    va_end(args);
}

void CLogging::LogWarning(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                          ...) {
    va_list args;
    va_start(args, format);
    LogFormatted(LOG_LEVEL_WARNING, file, function, line, format, args);
    va_end(args);
}

void CLogging::LogCritical(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                           ...) {
    va_list args;
    va_start(args, format);
    LogFormatted(LOG_LEVEL_CRITICAL, file, function, line, format, args);
    va_end(args);
}

void CLogging::LogInformation(const wchar_t* file, const wchar_t* function, int line, const wchar_t* format,
                              ...) {
    va_list args;
    va_start(args, format);
    LogFormatted(LOG_LEVEL_INFORMATION, file, function, line, format, args);
    va_end(args);
}

DWORD CLogging::GetLogRootFolder(wchar_t* buffer, DWORD capacity) {
    if (buffer == nullptr || capacity == 0) {
        return ERROR_INVALID_PARAMETER;
    }
    Vornix::UniqueCoTaskMemString folder;
    if (FAILED(shell_->getKnownFolderPath(FOLDERID_ProgramData, KF_FLAG_CREATE, nullptr, folder.put())) ||
        !folder) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::size_t length = std::wcslen(folder.get());
    const std::size_t copied = length < capacity ? length : capacity - 1;
    std::wmemcpy(buffer, folder.get(), copied);
    buffer[copied] = L'\0';
    return copied == length ? ERROR_SUCCESS : ERROR_ROOT_FOLDER_CUT;
}

} // namespace ETWLogging
