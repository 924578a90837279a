#include "CommandLine.h"

namespace hxreport {

const char* const usageText =
    "usage: hxreport --record [EVENT | --file PATH | -]\n"
    "\n"
    "  --record      print the analytics record that the event would be published as\n"
    "  EVENT         the event text: a JSON object of string members\n"
    "  --file PATH   read the event text from a file (UTF-8)\n"
    "  -             read the event text from standard input (UTF-8); also when no event is given\n"
    "\n"
    "exit status: 0 record printed, 2 the event yields no record, 64 bad command line\n";

std::optional<Options> parseCommandLine(int argc, wchar_t** argv) {
    Options options;
    bool haveEvent = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--record") {
            options.record = true;
        } else if (haveEvent) {
            return std::nullopt;
        } else if (arg == L"--file") {
            if (++i == argc) {
                return std::nullopt;
            }
            options.from = EventFrom::File;
            options.event = argv[i];
            haveEvent = true;
        } else if (arg == L"-") {
            options.from = EventFrom::StandardInput;
            haveEvent = true;
        } else if (arg.rfind(L"--", 0) == 0) {
            return std::nullopt;
        } else {
            options.from = EventFrom::Argument;
            options.event = arg;
            haveEvent = true;
        }
    }
    // Reporting through COM is not part of this tool yet; only the preview is.
    if (!options.record) {
        return std::nullopt;
    }
    return options;
}

} // namespace hxreport
