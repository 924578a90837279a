#include "LinePrinter.h"

#include <cstdio>

#include <fcntl.h>
#include <io.h>

#include "ConsoleText.h"

namespace hxconfig {

LinePrinter::LinePrinter(std::optional<std::size_t> last) : last_(last) {
    // The bytes as they are: no carriage returns added.
    _setmode(_fileno(stdout), _O_BINARY);
}

void LinePrinter::add(std::wstring_view line) {
    std::string bytes = hxtools::toUtf8(line) + '\n';
    if (!last_) {
        write(bytes);
        return;
    }
    kept_.push_back(std::move(bytes));
    if (kept_.size() > *last_) {
        kept_.pop_front();
    }
}

void LinePrinter::finish() {
    for (const std::string& line : kept_) {
        write(line);
    }
    kept_.clear();
    std::fflush(stdout);
}

void LinePrinter::write(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
}

} // namespace hxconfig
