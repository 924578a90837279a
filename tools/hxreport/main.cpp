// hxreport: the product's client command line. With --record it previews the analytics
// record that an event would be published as.

#include <cstdio>
#include <new>

#include "CommandLine.h"
#include "ConsoleText.h"
#include "EventSource.h"
#include "NoRecordReason.h"
#include "analytics/AnalyticsRecordBuilder.h"

namespace {
constexpr int exitRecord = 0;
constexpr int exitNoRecord = 2;
constexpr int exitUsage = 64;
constexpr int exitFailure = 70;

void fail(const std::wstring& reason) { hxtools::writeLine(stderr, L"hxreport: " + reason); }

int previewRecord(const hxreport::Options& options) {
    const hxreport::EventText event = hxreport::readEventText(options);
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
} // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        const auto options = hxreport::parseCommandLine(argc, argv);
        if (!options) {
            std::fputs(hxreport::usageText, stderr);
            return exitUsage;
        }
        return previewRecord(*options);
    } catch (const std::bad_alloc&) {
        std::fputs("hxreport: out of memory\n", stderr);
        return exitFailure;
    }
}
