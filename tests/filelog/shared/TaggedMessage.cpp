#include "TaggedMessage.h"

#include <cwchar>

namespace FileLogTests {

namespace {
constexpr int REPEATS = 16;
}

std::wstring taggedMessage(unsigned process, unsigned sequence) {
    wchar_t tag[32];
    std::swprintf(tag, 32, L"P%u S%04u", process, sequence);
    wchar_t piece[48];
    std::swprintf(piece, 48, L" <P%u/S%04u \u00E4\u00DF\u20AC\xD834\xDD1E>", process, sequence);
    std::wstring message = tag;
    for (int i = 0; i < REPEATS; ++i) {
        message += piece;
    }
    return message;
}

} // namespace FileLogTests
