#include "Utf16LineSplitter.h"

#include <utility>

namespace hxconfig {

Utf16LineSplitter::Utf16LineSplitter(LineHandler onLine) : onLine_(std::move(onLine)) {}

void Utf16LineSplitter::feed(std::string_view bytes) {
    for (const char byte : bytes) {
        const int value = static_cast<unsigned char>(byte);
        if (oddByte_ < 0) {
            oddByte_ = value;
            continue;
        }
        take(static_cast<wchar_t>(oddByte_ | value << 8));
        oddByte_ = -1;
    }
}

void Utf16LineSplitter::finish() {
    if (!line_.empty()) {
        endLine();
    }
    oddByte_ = -1;
}

void Utf16LineSplitter::take(wchar_t character) {
    if (character == L'\n') {
        endLine();
    } else {
        line_ += character;
    }
}

void Utf16LineSplitter::endLine() {
    if (!line_.empty() && line_.back() == L'\r') {
        line_.pop_back();
    }
    onLine_(line_);
    line_.clear();
}

} // namespace hxconfig
