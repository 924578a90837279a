#include "WriterProcesses.h"

#include <atomic>

namespace FileLogTests {

namespace {

// Generous: a slow machine must not fail the test, a hung writer must not hang it.
constexpr DWORD LIMIT_MS = 120000;

std::wstring uniqueName(const wchar_t* what) {
    static std::atomic<unsigned> counter{0};
    return L"pelmora-filelog-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) +
           L"-" + what;
}

std::wstring quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

} // namespace

WriterProcesses::WriterProcesses(const std::wstring& root, const std::wstring& tickets, unsigned count,
                                 unsigned lines) {
    const std::wstring startEvent = uniqueName(L"start");
    start_.reset(CreateEventW(nullptr, TRUE, FALSE, startEvent.c_str()));
    for (unsigned writer = 0; writer < count; ++writer) {
        const std::wstring arguments = quoted(startEvent) + L" " + quoted(root) + L" " + quoted(tickets) +
                                       L" " + std::to_wstring(writer) + L" " + std::to_wstring(lines);
        writers_.push_back(std::make_unique<WriterProcess>(uniqueName(L"ready"), arguments));
    }
}

bool WriterProcesses::startTogether() {
    for (const auto& writer : writers_) {
        if (!writer->waitUntilReady(LIMIT_MS)) {
            return false;
        }
    }
    return start_ && SetEvent(start_.get());
}

std::vector<DWORD> WriterProcesses::waitForExit() const {
    std::vector<DWORD> codes;
    for (const auto& writer : writers_) {
        codes.push_back(writer->waitForExit(LIMIT_MS));
    }
    return codes;
}

} // namespace FileLogTests
