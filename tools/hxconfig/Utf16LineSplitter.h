#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace hxconfig {

// Cuts UTF-16 little-endian bytes, fed in pieces of any size, into lines: a line ends at a line
// feed, and a carriage return just before it belongs to the line end.
class Utf16LineSplitter {
public:
    using LineHandler = std::function<void(std::wstring_view)>;

    explicit Utf16LineSplitter(LineHandler onLine);

    void feed(std::string_view bytes);
    // Hands out the last line when no line feed ended it. A last odd byte, half a character
    // cut off by a writer still at work, is dropped.
    void finish();

private:
    void take(wchar_t character);
    void endLine();

    LineHandler onLine_;
    std::wstring line_;
    int oddByte_ = -1; // the low byte of a character whose high byte is still to come
};

} // namespace hxconfig
