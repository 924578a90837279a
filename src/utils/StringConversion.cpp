#include "utils/StringConversion.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <new>

namespace Vornix {

namespace {

// A failed call that left no error number behind must still not read as success.
DWORD lastError() {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_INVALID_DATA;
}

int capacityOf(DWORD size) {
    return size > INT_MAX ? INT_MAX : static_cast<int>(size);
}

// convert(buffer, capacity) is the system call for one NUL-terminated source; with no buffer
// it gives the size needed.
template <typename Char, typename Convert> DWORD convertInto(Convert convert, Char* buffer, DWORD* size) {
    const int needed = convert(nullptr, 0);
    if (needed <= 0) {
        return lastError();
    }
    const DWORD neededSize = static_cast<DWORD>(needed);
    if (buffer == nullptr || *size < neededSize) {
        *size = neededSize;
        return buffer == nullptr ? ERROR_SUCCESS : ERROR_MORE_DATA;
    }
    std::fill_n(buffer, *size, Char{});
    const int written = convert(buffer, capacityOf(*size));
    if (written <= 0) {
        *size = 0;
        return lastError();
    }
    *size = static_cast<DWORD>(written);
    return ERROR_SUCCESS;
}

// Converts each string of the list into the room left, measuring only once the room has run
// out (a string that did not fit leaves used beyond room); used counts characters, NULs included.
DWORD convertWideList(const char* list, wchar_t* buffer, DWORD room, DWORD& used, bool& tooSmall) {
    for (const char* text = list; *text != '\0'; text += std::strlen(text) + 1) {
        const bool writes = buffer != nullptr && used < room;
        DWORD characters = writes ? room - used : 0;
        const DWORD status = toWideChar(CP_UTF8, text, writes ? buffer + used : nullptr, &characters);
        if (status == ERROR_MORE_DATA) {
            tooSmall = true;
        } else if (status != ERROR_SUCCESS) {
            return status;
        }
        used += characters;
    }
    return ERROR_SUCCESS;
}

// Enlarges a zero-filled buffer by whole steps until it has at least `missing` more bytes,
// keeping what it holds.
DWORD grow(std::unique_ptr<char[]>& bytes, DWORD& capacity, DWORD missing, DWORD step) {
    const std::uint64_t steps = (static_cast<std::uint64_t>(missing) + step - 1) / step;
    const std::uint64_t larger = capacity + steps * step;
    if (larger > MAXDWORD) {
        return ERROR_OUTOFMEMORY;
    }
    std::unique_ptr<char[]> grown(new (std::nothrow) char[larger]());
    if (!grown) {
        return ERROR_OUTOFMEMORY;
    }
    std::copy_n(bytes.get(), capacity, grown.get());
    bytes = std::move(grown);
    capacity = static_cast<DWORD>(larger);
    return ERROR_SUCCESS;
}

DWORD appendUtf8(const wchar_t* text, DWORD step, std::unique_ptr<char[]>& bytes, DWORD& capacity,
                 DWORD& used) {
    for (;;) {
        const DWORD room = capacity - used;
        DWORD size = room;
        const DWORD status = toMultiByte(CP_UTF8, text, bytes.get() + used, &size);
        if (status == ERROR_SUCCESS) {
            used += size;
            return ERROR_SUCCESS;
        }
        if (status != ERROR_MORE_DATA) {
            return status;
        }
        if (const DWORD error = grow(bytes, capacity, size - room, step)) {
            return error;
        }
    }
}

} // namespace

DWORD toMultiByte(UINT codePage, const wchar_t* text, char* buffer, DWORD* size) {
    if (text == nullptr || size == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const auto convert = [&](char* out, int capacity) {
        return WideCharToMultiByte(codePage, 0, text, -1, out, capacity, nullptr, nullptr);
    };
    return convertInto(convert, buffer, size);
}

DWORD toWideChar(UINT codePage, const char* text, wchar_t* buffer, DWORD* size) {
    if (text == nullptr || size == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const auto convert = [&](wchar_t* out, int capacity) {
        return MultiByteToWideChar(codePage, 0, text, -1, out, capacity);
    };
    return convertInto(convert, buffer, size);
}

DWORD utf8ToWide(const char* text, wchar_t* buffer, DWORD* size) {
    if (text == nullptr || size == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    DWORD characters = *size / sizeof(wchar_t);
    const DWORD status = toWideChar(CP_UTF8, text, buffer, &characters);
    *size = characters * sizeof(wchar_t);
    return status;
}

DWORD utf8ListToWide(const char* list, wchar_t* buffer, DWORD* size) {
    if (list == nullptr || size == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const DWORD room = buffer != nullptr ? *size / sizeof(wchar_t) : 0;
    DWORD used = 0;
    bool tooSmall = false;
    if (const DWORD error = convertWideList(list, buffer, room, used, tooSmall)) {
        return error;
    }
    if (buffer != nullptr && !tooSmall) {
        if (used < room) {
            buffer[used] = L'\0';
        } else {
            tooSmall = true;
        }
    }
    const DWORD capacity = *size;
    *size = (used + 1) * sizeof(wchar_t);
    if (buffer != nullptr && tooSmall) {
        // Half a list must not pass for a whole one.
        std::memset(buffer, 0, capacity);
        return ERROR_MORE_DATA;
    }
    return ERROR_SUCCESS;
}

DWORD wideToUtf8(const wchar_t* text, std::unique_ptr<char[]>& buffer, DWORD* length) {
    if (length == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    buffer.reset();
    *length = 0;
    DWORD needed = 0;
    if (const DWORD error = toMultiByte(CP_UTF8, text, nullptr, &needed)) {
        return error;
    }
    if (needed == 0) {
        return ERROR_INVALID_PARAMETER;
    }
    std::unique_ptr<char[]> bytes(new (std::nothrow) char[needed]());
    if (!bytes) {
        return ERROR_OUTOFMEMORY;
    }
    if (const DWORD error = toMultiByte(CP_UTF8, text, bytes.get(), &needed)) {
        return error;
    }
    buffer = std::move(bytes);
    *length = needed;
    return ERROR_SUCCESS;
}

DWORD wideListToUtf8(const wchar_t* list, DWORD step, std::unique_ptr<char[]>& buffer, DWORD* length) {
    if (length == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    buffer.reset();
    *length = 0;
    // A step of 0 could never make room.
    if (list == nullptr || step == 0) {
        return ERROR_INVALID_PARAMETER;
    }
    std::unique_ptr<char[]> bytes;
    DWORD capacity = 0;
    DWORD used = 0;
    if (const DWORD error = grow(bytes, capacity, step, step)) {
        return error;
    }
    for (const wchar_t* text = list; *text != L'\0'; text += std::wcslen(text) + 1) {
        if (const DWORD error = appendUtf8(text, step, bytes, capacity, used)) {
            return error;
        }
    }
    if (used == capacity) {
        if (const DWORD error = grow(bytes, capacity, 1, 1)) {
            return error;
        }
    }
    bytes[used] = '\0';
    buffer = std::move(bytes);
    *length = used + 1;
    return ERROR_SUCCESS;
}

} // namespace Vornix
