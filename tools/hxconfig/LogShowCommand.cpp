#include "LogShowCommand.h"

#include <algorithm>
#include <string_view>

#include <windows.h>

#include "Arguments.h"
#include "LinePrinter.h"
#include "LogLocations.h"
#include "LogRing.h"
#include "Logging/LogIniSetting.h"
#include "ToolError.h"
#include "Utf16LineSplitter.h"
#include "utils/CObfuscatedIniReader.h"
#include "utils/UniqueResource.h"

namespace hxconfig {

namespace {
using ETWLogging::LogFileLayout;
using Vornix::CObfuscatedIniReader;

constexpr DWORD chunkBytes = 64 * 1024;
// The logger starts every file with the byte-order mark; a file without it is none of its logs.
constexpr DWORD noByteOrderMark = ERROR_BAD_FORMAT;

struct Ring {
    unsigned entries;
    int last;
};

// As the logger reads them: the ring's size from either log.ini, the index from the
// executable's. A missing index means the logger starts at file 0.
Ring ringOf(const LogFileLayout& layout, const std::wstring& rootIni) {
    CObfuscatedIniReader perExecutable(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    CObfuscatedIniReader root(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    perExecutable.Load(layout.PerExecutableIniPath());
    root.Load(rootIni);
    Ring ring{static_cast<unsigned>(ETWLogging::LogIniSetting::Find(L"MaxEntries")->Effective(perExecutable, root)),
              0};
    perExecutable.GetInt(ETWLogging::LOG_INI_SECTION, ETWLogging::LOG_INI_LAST_INDEX, ring.last);
    return ring;
}

DWORD readChunk(HANDLE file, std::string& chunk) {
    chunk.resize(chunkBytes);
    DWORD read = 0;
    if (!ReadFile(file, chunk.data(), chunkBytes, &read, nullptr)) {
        return GetLastError();
    }
    chunk.resize(read);
    return ERROR_SUCCESS;
}

// Shared for writing and deleting, so that the product's loggers go on writing meanwhile.
DWORD readLines(const std::wstring& path, Utf16LineSplitter& splitter) {
    Vornix::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return GetLastError();
    }
    std::string chunk;
    if (const DWORD error = readChunk(file.get(), chunk)) {
        return error;
    }
    if (chunk.empty()) {
        return ERROR_SUCCESS; // just made, the mark not yet written
    }
    if (chunk.compare(0, 2, "\xFF\xFE") != 0) {
        return noByteOrderMark;
    }
    splitter.feed(std::string_view(chunk).substr(2));
    while (!chunk.empty()) {
        if (const DWORD error = readChunk(file.get(), chunk)) {
            return error;
        }
        splitter.feed(chunk);
    }
    splitter.finish();
    return ERROR_SUCCESS;
}

// found: set when the file exists.
int printFile(const std::wstring& path, LinePrinter& printer, bool& found) {
    Utf16LineSplitter splitter([&printer](std::wstring_view line) { printer.add(line); });
    const DWORD error = readLines(path, splitter);
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        return exitOk;
    }
    found = true;
    if (error == noByteOrderMark) {
        return reportFailure(path + L" does not start with the byte-order mark FF FE of a UTF-16 log; skipped");
    }
    if (error) {
        return reportError(L"cannot read " + path, error);
    }
    return exitOk;
}
} // namespace

int showLog(const std::wstring& executable, std::optional<std::size_t> lines) {
    std::optional<LogFileLayout> layout;
    std::wstring rootIni;
    if (const int status = logLayoutOf(executable, layout)) {
        return status;
    }
    if (const int status = settingsIniOf(std::nullopt, rootIni)) {
        return status;
    }
    const Ring ring = ringOf(*layout, rootIni);
    LinePrinter printer(lines);
    bool found = false;
    int status = exitOk;
    for (const unsigned index : ringOrder(ring.last, ring.entries)) {
        status = std::max(status, printFile(layout->LogFilePath(index), printer, found));
    }
    printer.finish();
    if (!found) {
        return reportFailure(L"no logs for " + executable + L" in " + layout->LogFolder());
    }
    return status;
}

} // namespace hxconfig
