#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace hxconfig {

// Writes lines to standard output as UTF-8, each ended by a line feed; with a limit it keeps
// only the last lines and writes them at the end.
class LinePrinter {
public:
    explicit LinePrinter(std::optional<std::size_t> last);

    void add(std::wstring_view line);
    void finish();

private:
    static void write(const std::string& line);

    std::optional<std::size_t> last_;
    std::deque<std::string> kept_;
};

} // namespace hxconfig
