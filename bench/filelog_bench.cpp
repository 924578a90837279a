// Times one Log call of the file logger against its floor: the same file work done directly
// (the executable's "log.ini" read through the scrambled INI reader, the log file opened, the
// same line's bytes appended, the file closed). Both write the same file in a scratch folder
// that stands in for the common application-data folder. Prints both and the ratio.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include <windows.h>

#include "FixedProgramDataShell.h"
#include "InterleavedBatches.h"
#include "LogFileFloor.h"
#include "Logging/CLogging.h"
#include "Logging/FormatLine.h"
#include "Logging/LogFileDefaults.h"
#include "support/ScratchFolder.h"
#include "utils/CObfuscatedIniReader.h"

namespace {

using namespace PelmoraBench;

// Large enough that no file is started anew while the bench runs.
constexpr int MAX_SIZE = 10485760;
constexpr DWORD LEVEL_ERROR = 4;
const wchar_t* const SOURCE = L"dll\\SharedLibrary";
const wchar_t* const FUNCTION = L"Corvane::SharedLibrary::loadLibrary";
const wchar_t* const MESSAGE = L"LoadLibrary Failed. GLE: 126";

bool writeSettings(const std::wstring& perLogIni) {
    std::filesystem::create_directories(std::filesystem::path(perLogIni).parent_path());
    Vornix::CObfuscatedIniReader ini(Vornix::CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
    ini.Load(perLogIni);
    return ini.WriteInt(L"Config", L"MaxSize", MAX_SIZE) && ini.WriteInt(L"Config", L"LastLogIdx", 0);
}

// The bytes Log appends for the message, with this moment's time stamp (always as long).
std::wstring formattedLine() {
    const ETWLogging::LogLineSource source{L"filelog_bench.exe", GetCurrentProcessId(),
                                           ETWLogging::LOG_FILE_DEFAULT_OPTIONS, nullptr};
    DWORD byteSize = 0;
    std::unique_ptr<wchar_t[]> text;
    if (ETWLogging::FormatLine(source, SOURCE, FUNCTION, 7, LEVEL_ERROR, MESSAGE, &byteSize, &text) != 0) {
        return {};
    }
    return std::wstring(text.get(), byteSize / sizeof(wchar_t) - 1);
}

} // namespace

int main() {
    const ScratchFolder scratch;
    const std::wstring folder = scratch.pathOf(L"Halvex\\HXLOGS\\_no_group\\filelog_bench");
    if (!writeSettings(folder + L"\\log.ini")) {
        std::printf("cannot write the settings in %ls\n", folder.c_str());
        return 1;
    }
    ETWLogging::CLogging logger(std::make_shared<FileLogTests::FixedProgramDataShell>(scratch.path()));
    const LogFileFloor floor(folder + L"\\log.ini", folder + L"\\filelog_bench__no_host");
    const std::wstring line = formattedLine();
    auto direct = [&] { return floor.append(line); };
    auto logged = [&] { return logger.Log(SOURCE, FUNCTION, 7, LEVEL_ERROR, MESSAGE) == ERROR_SUCCESS; };

    // The first Log makes the folder and the file that the floor appends to.
    if (logger.Init(L"_no_group", nullptr, L"_no_host", nullptr) != 0 || !logged() || line.empty() ||
        !direct()) {
        std::printf("the file logger or its floor failed in %ls\n", folder.c_str());
        return 1;
    }
    const BestTimes best = bestOfInterleavedBatches(direct, logged, 20, 100);
    std::printf("floor (read log.ini, open, append, close): %9.1f us\n", best.baseline);
    std::printf("Log:                                       %9.1f us\n", best.measured);
    std::printf("ratio Log/floor: %.2f (target <= 1.3: %s)\n", best.measured / best.baseline,
                best.measured / best.baseline <= 1.3 ? "met" : "NOT met");
    logger.Uninit();
    return 0;
}
