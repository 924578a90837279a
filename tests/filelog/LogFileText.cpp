#include "LogFileText.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace FileLogTests {

namespace {

bool isHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Position of the first surrogate without its partner, or npos.
std::size_t firstLoneSurrogate(const std::wstring& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            ++i;
        } else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i])) {
            return i;
        }
    }
    return std::wstring::npos;
}

} // namespace

LogFileText::LogFileText(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string LogFileText::encodingProblem() const {
    if (bytes_.size() < 2 || bytes_[0] != '\xFF' || bytes_[1] != '\xFE') {
        return "no byte-order mark FF FE at the start";
    }
    if (bytes_.size() % 2 != 0) {
        return "an odd number of bytes: " + std::to_string(bytes_.size());
    }
    const std::size_t lone = firstLoneSurrogate(text());
    if (lone != std::wstring::npos) {
        return "a lone surrogate at byte " + std::to_string(2 + lone * 2);
    }
    return {};
}

std::wstring LogFileText::text() const {
    const std::size_t characters = bytes_.size() < 2 ? 0 : (bytes_.size() - 2) / 2;
    std::wstring text(characters, L'\0');
    for (std::size_t i = 0; i < characters; ++i) {
        const auto low = static_cast<unsigned char>(bytes_[2 + 2 * i]);
        const auto high = static_cast<unsigned char>(bytes_[3 + 2 * i]);
        text[i] = static_cast<wchar_t>(low | high << 8);
    }
    return text;
}

std::vector<std::wstring> LogFileText::lines() const {
    const std::wstring all = text();
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < all.size()) {
        const std::size_t end = all.find(L"\r\n", start);
        const std::size_t next = end == std::wstring::npos ? all.size() : end + 2;
        lines.push_back(all.substr(start, next - start));
        start = next;
    }
    return lines;
}

} // namespace FileLogTests
