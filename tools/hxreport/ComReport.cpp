#include "ComReport.h"

#include <cstdio>
#include <iterator>
#include <memory>

#include "utils/ComApartment.h"
#include "ConsoleText.h"
#include "EventBstr.h"
#include "HresultText.h"
#include "ReportLoad.h"
#include "ReporterFactory.h"

using Vornix::ComApartment;

namespace hxreport {

namespace {
constexpr int exitOk = 0;
constexpr int exitFailed = 1;

DWORD apartmentModel(const Options& options) {
    return options.mta ? COINIT_MULTITHREADED : COINIT_APARTMENTTHREADED;
}

std::wstring describe(const CallResult& outcome) {
    return std::wstring(outcome.call) + L": " + describeHresult(outcome.result);
}

void printHint(HRESULT result) {
    if (result == REGDB_E_CLASSNOTREG) {
        hxtools::writeLine(stderr,
                           L"hxreport: CLSID_AnalyticsAPI is not registered; run regsvr32 Pelmora.dll");
    }
}

int finish(const CallResult& outcome) {
    hxtools::writeLine(stdout, describe(outcome));
    printHint(outcome.result);
    return outcome.result == S_OK ? exitOk : exitFailed;
}

CallResult reportOnThisThread(const Options& options, const std::wstring& event) {
    std::unique_ptr<Reporter> reporter;
    const CallResult created = createReporter(options.dispatch, reporter);
    if (!created.ok()) {
        return created;
    }
    const Corvane::Com::UniqueBstr text = toEventBstr(event);
    return text ? reporter->report(text.get()) : outOfMemory();
}

std::wstring format(const wchar_t* pattern, double value) {
    wchar_t text[64];
    std::swprintf(text, std::size(text), pattern, value);
    return text;
}

double milliseconds(std::chrono::nanoseconds duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

std::wstring loadHeading(const Options& options) {
    return std::to_wstring(options.threads) + L" threads x " + std::to_wstring(options.count) +
           L" reports, " +
           (options.mta ? L"one object shared by all threads (MTA)" : L"one object per thread (STA)") +
           L", through " + (options.dispatch ? L"IDispatch" : L"IHxClientAnalytics");
}

std::wstring loadOutcome(const Options& options, const LoadResult& result) {
    const std::wstring reports = std::to_wstring(result.reports) + L" reports";
    if (result.failures == 0) {
        const CallResult ok{options.dispatch ? L"Invoke" : L"ReportEventData", S_OK};
        return describe(ok) + L" for all " + reports;
    }
    return std::to_wstring(result.failures) + L" of " + reports + L" failed, the first with " +
           describe(result.firstFailure);
}

std::wstring loadSpeed(const LoadResult& result) {
    const double seconds = std::chrono::duration<double>(result.elapsed).count();
    const double rate = seconds > 0 ? static_cast<double>(result.reports) / seconds : 0;
    return format(L"%.0f reports/s", rate) +
           format(L", latency p50 %.3f ms", milliseconds(result.latencies.percentile(50))) +
           format(L", p99 %.3f ms", milliseconds(result.latencies.percentile(99)));
}
} // namespace

int reportOnce(const Options& options, const std::wstring& event) {
    const ComApartment apartment(apartmentModel(options));
    if (FAILED(apartment.result())) {
        return finish(CallResult{L"CoInitializeEx", apartment.result()});
    }
    return finish(reportOnThisThread(options, event));
}

int reportUnderLoad(const Options& options, const std::wstring& event) {
    const LoadSettings settings{options.threads, options.count, options.mta, options.dispatch};
    const LoadResult result = ReportLoad(settings, event).run();
    if (!result.setup.ok()) {
        return finish(result.setup);
    }
    hxtools::writeLine(stdout, loadHeading(options));
    hxtools::writeLine(stdout, loadOutcome(options, result));
    hxtools::writeLine(stdout, loadSpeed(result));
    printHint(result.firstFailure.result);
    return result.failures == 0 ? exitOk : exitFailed;
}

} // namespace hxreport
