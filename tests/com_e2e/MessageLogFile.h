#pragma once

#include <string>
#include <vector>

#include "LoggedMessage.h"
#include "bus/BusLibraryPlacement.h"
#include "support/ScratchFolder.h"

namespace PelmoraTests {

// A message log of the development bus for one test: a file in a fresh folder, named by
// EVENTRELAY_LOG in this process's environment (where the bus library reads it) while the
// object lives.
class MessageLogFile {
public:
    MessageLogFile();

    // Every message logged so far, in order; none when the file was never written. A line
    // that is not a message of the log fails the test.
    std::vector<LoggedMessage> messages() const;

private:
    ScratchFolder folder_;
    std::wstring path_;
    ScopedEnvironment variable_;
};

} // namespace PelmoraTests
