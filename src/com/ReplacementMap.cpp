#include "com/ReplacementMap.h"

#include <cwchar>

namespace Corvane::Com {

void ReplacementMap::add(const std::wstring& name, const std::wstring& text) {
    for (auto& entry : entries_) {
        if (_wcsicmp(entry.first.c_str(), name.c_str()) == 0) {
            entry.second = text;
            return;
        }
    }
    entries_.emplace_back(name, text);
}

HRESULT ReplacementMap::expand(const std::wstring& text, std::wstring& expanded) const {
    std::wstring result;
    result.reserve(text.size());
    std::size_t position = 0;
    for (std::size_t start; (start = text.find(L'%', position)) != std::wstring::npos;) {
        const std::size_t end = text.find(L'%', start + 1);
        if (end == std::wstring::npos) {
            return DISP_E_EXCEPTION;
        }
        result.append(text, position, start - position);
        if (end == start + 1) {
            result.push_back(L'%');
        } else if (const std::wstring* replacement = find(text.substr(start + 1, end - start - 1))) {
            result.append(*replacement);
        } else {
            return DISP_E_EXCEPTION;
        }
        position = end + 1;
    }
    result.append(text, position, std::wstring::npos);
    expanded = std::move(result);
    return S_OK;
}

const std::wstring* ReplacementMap::find(const std::wstring& name) const {
    for (const auto& entry : entries_) {
        if (_wcsicmp(entry.first.c_str(), name.c_str()) == 0) {
            return &entry.second;
        }
    }
    return nullptr;
}

} // namespace Corvane::Com
