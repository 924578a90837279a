#pragma once

#include <string>

namespace PelmoraBench {

// The least file work one log line needs, done directly: the current file's number read from
// the executable's "log.ini" through the scrambled INI reader, that file opened, the line's
// bytes appended, the file closed.
class LogFileFloor {
public:
    // Files are named namePrefix + three-digit number + ".log".
    LogFileFloor(std::wstring perLogIni, std::wstring namePrefix);

    bool append(const std::wstring& line) const;

private:
    int currentIndex() const;

    std::wstring perLogIni_;
    std::wstring namePrefix_;
};

} // namespace PelmoraBench
