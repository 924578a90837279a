#pragma once

#include <memory>
#include <string>
#include <vector>

#include "WriterProcess.h"
#include "utils/UniqueResource.h"

namespace FileLogTests {

// Several writer processes let go at the same moment: each one initialises its logger and
// says so, and once all have, one event starts them all.
class WriterProcesses {
public:
    // Writers 0 .. count-1, each logging `lines` lines below root, tickets from the counter
    // of that name.
    WriterProcesses(const std::wstring& root, const std::wstring& tickets, unsigned count, unsigned lines);

    // False when one of them did not start or ended before it was ready.
    bool startTogether();
    // Their exit codes in writer order, STILL_ACTIVE for one that did not end in time.
    std::vector<DWORD> waitForExit() const;
    DWORD processId(unsigned writer) const { return writers_[writer]->processId(); }

private:
    Vornix::UniqueHandle start_;
    std::vector<std::unique_ptr<WriterProcess>> writers_;
};

} // namespace FileLogTests
