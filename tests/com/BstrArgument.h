#pragma once

#include <optional>
#include <string>

#include "utils/UniqueBstr.h"

namespace PelmoraTests {

// A BSTR argument for a call: none at all, or a text (which may hold NULs).
inline Corvane::Com::UniqueBstr makeBstr(const std::optional<std::wstring>& text) {
    if (!text) {
        return Corvane::Com::UniqueBstr();
    }
    return Corvane::Com::UniqueBstr(SysAllocStringLen(text->data(), static_cast<UINT>(text->size())));
}

// An event text that yields a record.
inline const std::wstring validEvent =
    L"{\"UniqueIdentifier\":\"id-1\",\"Type\":\"Launch\",\"Product\":\"Pelmora\"}";

} // namespace PelmoraTests
