#pragma once

#include <string>

#include "RelayedMessage.h"
#include "utils/UniqueResource.h"

namespace EventRelay {

// Appends one line per message to the log file shared by every process on the machine:
// the file named by EVENTRELAY_LOG, else EventRelay\messages.jsonl under ProgramData.
// The path is looked up for each message so that a host may switch logs at run time.
class MessageLog {
public:
    MessageLog();

    // False when the line could not be written whole.
    bool append(const RelayedMessage& message);

private:
    static std::wstring path();
    static std::wstring defaultPath();
    bool write(const std::wstring& file, const std::string& line);

    // Processes append under this mutex, so lines never interleave even where a file
    // system does not make appends atomic.
    Vornix::UniqueHandle mutex_;
};

} // namespace EventRelay
