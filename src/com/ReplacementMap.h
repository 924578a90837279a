#pragma once

#include <string>
#include <utility>
#include <vector>

#include <windows.h>

namespace Corvane::Com {

// The %NAME% replacements of a registry script. Names ignore letter case; "%%" stands for
// one percent sign.
class ReplacementMap {
public:
    // A name given again gets the new text.
    void add(const std::wstring& name, const std::wstring& text);

    // DISP_E_EXCEPTION for an unknown name or a lone percent sign (expanded then untouched).
    // Throws std::bad_alloc when memory runs out.
    HRESULT expand(const std::wstring& text, std::wstring& expanded) const;

private:
    const std::wstring* find(const std::wstring& name) const;

    std::vector<std::pair<std::wstring, std::wstring>> entries_;
};

} // namespace Corvane::Com
