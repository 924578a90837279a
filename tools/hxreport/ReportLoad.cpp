#include "ReportLoad.h"

#include <optional>

#include "utils/ComApartment.h"
#include "EventBstr.h"
#include "ReporterFactory.h"
#include "WorkerThreads.h"

using Vornix::ComApartment;

namespace hxreport {

using Clock = std::chrono::steady_clock;

LoadResult ReportLoad::run() const {
    if (!settings_.mta) {
        return runWorkers(nullptr);
    }
    // The workers join this apartment too, so that they may all call the one object directly.
    const ComApartment apartment(COINIT_MULTITHREADED);
    LoadResult result;
    if (FAILED(apartment.result())) {
        result.setup = CallResult{L"CoInitializeEx", apartment.result()};
        return result;
    }
    std::unique_ptr<Reporter> shared;
    result.setup = createReporter(settings_.dispatch, shared);
    if (!result.setup.ok()) {
        return result;
    }
    return runWorkers(shared.get());
}

LoadResult ReportLoad::runWorkers(const Reporter* shared) const {
    std::vector<Worker> workers(settings_.threads);
    StartLine line(workers.size());
    WorkerThreads threads(line, workers.size());
    for (Worker& worker : workers) {
        threads.start([this, &worker, &line, shared] { work(worker, line, shared); });
    }
    line.waitForAll();
    bool allReady = true;
    for (const Worker& worker : workers) {
        allReady = allReady && worker.setup.ok();
    }
    const Clock::time_point start = Clock::now();
    line.release(allReady);
    threads.joinAll();
    const Clock::duration elapsed = Clock::now() - start;

    LoadResult result = summarise(workers);
    result.elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed);
    return result;
}

void ReportLoad::work(Worker& worker, StartLine& line, const Reporter* shared) const noexcept {
    const ComApartment apartment(settings_.mta ? COINIT_MULTITHREADED : COINIT_APARTMENTTHREADED);
    std::unique_ptr<Reporter> own;
    Corvane::Com::UniqueBstr event;
    worker.setup = FAILED(apartment.result()) ? CallResult{L"CoInitializeEx", apartment.result()}
                                              : prepare(worker, shared, own, event);
    if (!line.arriveAndWait() || !worker.setup.ok()) {
        return;
    }
    report(worker, shared != nullptr ? *shared : *own, event.get());
}

CallResult ReportLoad::prepare(Worker& worker, const Reporter* shared, std::unique_ptr<Reporter>& own,
                               Corvane::Com::UniqueBstr& event) const noexcept {
    try {
        // Room for every sample now, so that measuring allocates nothing.
        worker.latencies.reserve(settings_.count);
    } catch (const std::exception&) {
        return outOfMemory();
    }
    event = toEventBstr(event_);
    if (!event) {
        return outOfMemory();
    }
    return shared != nullptr ? CallResult{L"", S_OK} : createReporter(settings_.dispatch, own);
}

void ReportLoad::report(Worker& worker, const Reporter& reporter, BSTR event) const noexcept {
    for (unsigned i = 0; i < settings_.count; ++i) {
        const Clock::time_point start = Clock::now();
        const CallResult result = reporter.report(event);
        worker.latencies.add(std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start));
        if (result.result != S_OK && worker.failures++ == 0) {
            worker.firstFailure = result;
        }
    }
}

LoadResult ReportLoad::summarise(const std::vector<Worker>& workers) {
    LoadResult result;
    for (const Worker& worker : workers) {
        if (result.setup.ok() && !worker.setup.ok()) {
            result.setup = worker.setup;
        }
        if (result.failures == 0 && worker.failures != 0) {
            result.firstFailure = worker.firstFailure;
        }
        result.failures += worker.failures;
        result.latencies.merge(worker.latencies);
    }
    result.reports = result.latencies.size();
    return result;
}

} // namespace hxreport
