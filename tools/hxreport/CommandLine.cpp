#include "CommandLine.h"

namespace hxreport {

const char* const usageText =
    "usage: hxreport [--dispatch] [--mta] [--threads N] [--count M] [EVENT | --file PATH | -]\n"
    "       hxreport --record [EVENT | --file PATH | -]\n"
    "\n"
    "Reports the event to Pelmora.dll: creates CLSID_AnalyticsAPI in process, calls\n"
    "ReportEventData and prints the HRESULT with its name.\n"
    "\n"
    "  --dispatch    call late-bound through IDispatch instead of IHxClientAnalytics\n"
    "  --mta         enter the multithreaded apartment instead of a single-threaded one\n"
    "  --threads N   report from N threads (1 to 256), each with its own apartment and object,\n"
    "                or with --mta all through one object; prints reports per second and the\n"
    "                p50/p99 latency\n"
    "  --count M     report the event M times from each thread (1 to 1000000)\n"
    "  --record      only print the analytics record that the event would be published as\n"
    "  EVENT         the event text: a JSON object of string members\n"
    "  --file PATH   read the event text from a file (UTF-8)\n"
    "  -             read the event text from standard input (UTF-8); also when no event is given\n"
    "\n"
    "exit status: 0 S_OK (or record printed), 1 any other HRESULT or no event text,\n"
    "             2 the event yields no record (--record), 64 bad command line\n";

namespace {
constexpr unsigned maxThreads = 256;
constexpr unsigned maxCount = 1000000;

// Decimal digits only, between 1 and the limit.
std::optional<unsigned> parsePositive(const std::wstring& text, unsigned limit) {
    if (text.empty() || text.size() > 7) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    if (value == 0 || value > limit) {
        return std::nullopt;
    }
    return value;
}

class Parser {
public:
    Parser(int argc, wchar_t** argv) : argc_(argc), argv_(argv) {}

    std::optional<Options> parse() {
        for (index_ = 1; index_ < argc_; ++index_) {
            if (!take(argv_[index_])) {
                return std::nullopt;
            }
        }
        // The preview reports nothing, so the reporting options make no sense with it.
        if (options_.record && (options_.dispatch || options_.mta || options_.underLoad)) {
            return std::nullopt;
        }
        return options_;
    }

private:
    bool take(const std::wstring& arg) {
        if (arg == L"--record") {
            options_.record = true;
        } else if (arg == L"--dispatch") {
            options_.dispatch = true;
        } else if (arg == L"--mta") {
            options_.mta = true;
        } else if (arg == L"--threads") {
            return takeNumber(options_.threads, maxThreads);
        } else if (arg == L"--count") {
            return takeNumber(options_.count, maxCount);
        } else {
            return takeEvent(arg);
        }
        return true;
    }

    bool takeNumber(unsigned& target, unsigned limit) {
        const std::optional<unsigned> value = next() ? parsePositive(argv_[index_], limit) : std::nullopt;
        if (!value) {
            return false;
        }
        target = *value;
        options_.underLoad = true;
        return true;
    }

    bool takeEvent(const std::wstring& arg) {
        if (haveEvent_) {
            return false;
        }
        haveEvent_ = true;
        if (arg == L"--file") {
            if (!next()) {
                return false;
            }
            options_.from = EventFrom::File;
            options_.event = argv_[index_];
        } else if (arg == L"-") {
            options_.from = EventFrom::StandardInput;
        } else if (arg.rfind(L"--", 0) == 0) {
            return false;
        } else {
            options_.from = EventFrom::Argument;
            options_.event = arg;
        }
        return true;
    }

    bool next() { return ++index_ < argc_; }

    int argc_;
    wchar_t** argv_;
    int index_ = 1;
    bool haveEvent_ = false;
    Options options_;
};
} // namespace

std::optional<Options> parseCommandLine(int argc, wchar_t** argv) {
    return Parser(argc, argv).parse();
}

} // namespace hxreport
