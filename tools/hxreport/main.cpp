// hxreport: the product's client command line. It reports an event to Pelmora.dll through COM
// and prints the HRESULT; with --record it only previews the analytics record instead.

#include <cstdio>
#include <exception>
#include <new>

#include "ComReport.h"
#include "CommandLine.h"
#include "ConsoleText.h"
#include "EventSource.h"
#include "NoRecordReason.h"
#include "analytics/AnalyticsRecordBuilder.h"

namespace {
constexpr int exitRecord = 0;
constexpr int exitNotReported = 1;
constexpr int exitNoRecord = 2;
constexpr int exitUsage = 64;
constexpr int exitFailure = 70;

void fail(const std::wstring& reason) {
    hxtools::writeLine(stderr, L"hxreport: " + reason);
}

int previewRecord(const hxreport::EventText& event) {
    if (!event.ok) {
        fail(event.error);
        return exitNoRecord;
    }
    std::wstring record;
    const auto result = Corvane::Analytics::tryBuildAnalyticsRecord(event.text.c_str(), record);
    if (!result.ok()) {
        fail(L"no record: " + hxreport::noRecordReason(result));
        return exitNoRecord;
    }
    hxtools::writeLine(stdout, record);
    return exitRecord;
}

int report(const hxreport::Options& options, const hxreport::EventText& event) {
    if (!event.ok) {
        fail(event.error);
        return exitNotReported;
    }
    return options.underLoad ? hxreport::reportUnderLoad(options, event.text)
                             : hxreport::reportOnce(options, event.text);
}

int run(int argc, wchar_t** argv) {
    const auto options = hxreport::parseCommandLine(argc, argv);
    if (!options) {
        std::fputs(hxreport::usageText, stderr);
        return exitUsage;
    }
    const hxreport::EventText event = hxreport::readEventText(*options);
    return options->record ? previewRecord(event) : report(*options, event);
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("hxreport: out of memory\n", stderr);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "hxreport: %s\n", error.what());
    }
    return exitFailure;
}
