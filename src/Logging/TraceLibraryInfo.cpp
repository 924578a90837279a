#include "Logging/TraceLibraryInfo.h"

#include <cwchar>
#include <new>

#include <windows.h>

#include "utils/FileVersionInfo.h"

namespace ETWLogging {
namespace {

// The module is found from an address inside it, so the answer is the library itself even
// when it is loaded under another name or linked into an executable.
std::wstring ThisModulePath() {
    MEMORY_BASIC_INFORMATION memory{};
    if (VirtualQuery(reinterpret_cast<const void*>(&ThisModulePath), &memory, sizeof memory) == 0) {
        return {};
    }
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(static_cast<HMODULE>(memory.AllocationBase), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(path, length);
}

} // namespace

const TraceLibraryInfo& TraceLibraryInfo::Get() {
    static const TraceLibraryInfo info;
    return info;
}

TraceLibraryInfo::TraceLibraryInfo() {
    try {
        const std::wstring path = ThisModulePath();
        fileName_ = path.substr(path.find_last_of(L'\\') + 1);
        version_ = ReadVersion(path);
    } catch (const std::bad_alloc&) {
        fileName_.clear();
        version_.clear();
    }
}

std::wstring TraceLibraryInfo::ReadVersion(const std::wstring& path) {
    Vornix::FileVersionInfo info;
    if (path.empty() || !info.load(path)) {
        return {};
    }
    const std::wstring text = info.getStringValue(L"FileVersion");
    unsigned parts[4] = {};
    if (std::swscanf(text.c_str(), L"%u,%u,%u,%u", &parts[0], &parts[1], &parts[2], &parts[3]) != 4) {
        return text;
    }
    wchar_t dotted[64] = {};
    std::swprintf(dotted, 64, L"%u.%u.%u.%u", parts[0], parts[1], parts[2], parts[3]);
    return dotted;
}

} // namespace ETWLogging
