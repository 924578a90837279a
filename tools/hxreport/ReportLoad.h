#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "CallResult.h"
#include "Latencies.h"
#include "Reporter.h"
#include "StartLine.h"
#include "utils/UniqueBstr.h"

namespace hxreport {

struct LoadSettings {
    unsigned threads;
    unsigned count; // reports per thread
    bool mta;       // one shared object in the MTA, else one object per thread, each in its own STA
    bool dispatch;
};

struct LoadResult {
    CallResult setup{L"", S_OK}; // the first failure before any report
    std::size_t reports = 0;
    std::size_t failures = 0;
    CallResult firstFailure{L"", S_OK};
    std::chrono::nanoseconds elapsed{};
    Latencies latencies;
};

// Reports one event many times from several threads and measures each call.
class ReportLoad {
public:
    ReportLoad(const LoadSettings& settings, const std::wstring& event)
        : settings_(settings), event_(event) {}

    LoadResult run() const;

private:
    struct Worker {
        CallResult setup{L"", S_OK};
        std::size_t failures = 0;
        CallResult firstFailure{L"", S_OK};
        Latencies latencies;
    };

    LoadResult runWorkers(const Reporter* shared) const;
    void work(Worker& worker, StartLine& line, const Reporter* shared) const noexcept;
    CallResult prepare(Worker& worker, const Reporter* shared, std::unique_ptr<Reporter>& own,
                       Corvane::Com::UniqueBstr& event) const noexcept;
    void report(Worker& worker, const Reporter& reporter, BSTR event) const noexcept;
    static LoadResult summarise(const std::vector<Worker>& workers);

    LoadSettings settings_;
    std::wstring event_;
};

} // namespace hxreport
