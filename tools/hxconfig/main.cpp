// hxconfig: reads and writes the product's scrambled settings, which cannot be edited by hand.

#include <cstdio>
#include <new>
#include <string>

#include "Arguments.h"
#include "BlockListCommands.h"
#include "IniCommands.h"
#include "LogCommands.h"
#include "RegistryCommands.h"

namespace {
const char* const usageText =
    "usage:\n"
    "  hxconfig reg get KEY NAME\n"
    "  hxconfig reg set KEY NAME dword|qword|sz|multi_sz VALUE...\n"
    "  hxconfig reg delete KEY NAME\n"
    "  hxconfig ini get FILE SECTION NAME\n"
    "  hxconfig ini set FILE SECTION NAME int|text VALUE\n"
    "  hxconfig block DLL VERSION\n"
    "  hxconfig unblock DLL VERSION\n"
    "  hxconfig blocked DLL\n"
    "  hxconfig log mechanism file|trace|show\n"
    "  hxconfig log set NAME VALUE [--exe EXE]\n"
    "  hxconfig log get NAME [--exe EXE]\n"
    "  hxconfig log show --exe EXE [--lines N]\n"
    "\n"
    "KEY is a registry path such as HKLM\\SOFTWARE\\Halvex\\Logging. Values are stored scrambled\n"
    "with an integrity digest; plain or edited values read as absent. The block list lives under\n"
    "HKLM\\SOFTWARE\\Halvex\\Tamrok\\List\\<dll>. Numbers are decimal or 0x-hexadecimal; only int\n"
    "takes a sign. Every value written is read back through the product's own reader.\n"
    "\n"
    "log mechanism: \"Logging Mechanism\" under HKLM\\SOFTWARE\\Halvex\\Logging, log files (file) or\n"
    "trace events (trace). log set/get: a setting in section Config of the root log.ini in\n"
    "<common application data>\\Halvex\\HXLOGS, or with --exe of the executable's own log.ini in\n"
    "HXLOGS\\_no_group\\EXE, which comes first: Enable, MaxSize (262144 to 10485760), MaxEntries\n"
    "(2 to 100), Severity (0 to 6), Options. log show: the lines of EXE's log files, oldest first,\n"
    "as UTF-8; the last N lines with --lines. EXE is the executable's file name, e.g. dllhost.\n"
    "\n"
    "exit status: 0 done, 1 failed (the reason on standard error), 64 bad command line\n";

int dispatch(int argc, wchar_t** argv) {
    if (argc < 2) {
        return hxconfig::exitUsage;
    }
    const std::wstring group = argv[1];
    const hxconfig::Arguments rest(argv + 2, argv + argc);
    if (group == L"reg") {
        return hxconfig::runRegistryCommand(rest);
    }
    if (group == L"ini") {
        return hxconfig::runIniCommand(rest);
    }
    if (group == L"log") {
        return hxconfig::runLogCommand(rest);
    }
    if (group == L"block" || group == L"unblock" || group == L"blocked") {
        return hxconfig::runBlockListCommand(group, rest);
    }
    return hxconfig::exitUsage;
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        const int status = dispatch(argc, argv);
        if (status == hxconfig::exitUsage) {
            std::fputs(usageText, stderr);
        }
        return status;
    } catch (const std::bad_alloc&) {
        std::fputs("hxconfig: out of memory\n", stderr);
        return hxconfig::exitFailed;
    }
}
