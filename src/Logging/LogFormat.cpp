#include "Logging/LogFormat.h"

#include <cwchar>
#include <new>

namespace ETWLogging {

void FormatBounded(wchar_t* buffer, std::size_t capacity, const wchar_t* format, va_list args) noexcept {
    if (capacity == 0) {
        return;
    }
    if (format == nullptr || vsnwprintf(buffer, capacity, format, args) < 0) {
        buffer[0] = L'\0';
    }
    buffer[capacity - 1] = L'\0';
}

bool FormatWhole(std::wstring& text, const wchar_t* format, va_list args) noexcept {
    if (format == nullptr) {
        return false;
    }
    va_list measure;
    va_copy(measure, args);
    const int length = vsnwprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        return false;
    }
    try {
        std::wstring formatted(static_cast<std::size_t>(length), L'\0');
        vsnwprintf(formatted.data(), formatted.size() + 1, format, args);
        text.swap(formatted);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace ETWLogging
