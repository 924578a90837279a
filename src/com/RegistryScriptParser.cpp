#include "com/RegistryScriptParser.h"

#include <cwchar>
#include <new>
#include <utility>

namespace Corvane::Com {

namespace {
struct RootName {
    const wchar_t* name;
    HKEY key;
};

const RootName rootNames[] = {
    {L"HKCR", HKEY_CLASSES_ROOT},  {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {L"HKCU", HKEY_CURRENT_USER},  {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKLM", HKEY_LOCAL_MACHINE}, {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {L"HKU", HKEY_USERS},          {L"HKEY_USERS", HKEY_USERS},
};

// Words with a meaning of their own; as bare words they never name a key or value.
const wchar_t* const keywords[] = {L"{", L"}", L"=", L"NoRemove", L"ForceRemove", L"Val", L"Delete"};

bool equalsIgnoringCase(const std::wstring& text, const wchar_t* word) {
    return _wcsicmp(text.c_str(), word) == 0;
}

bool isSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

HKEY rootKey(const std::wstring& name) {
    for (const auto& root : rootNames) {
        if (equalsIgnoringCase(name, root.name)) {
            return root.key;
        }
    }
    return nullptr;
}
} // namespace

HRESULT RegistryScriptParser::parse(const std::wstring& text, RegistryScript& script) noexcept {
    try {
        RegistryScript parsed;
        RegistryScriptParser parser(text);
        if (!parser.parseScript(parsed)) {
            return DISP_E_EXCEPTION;
        }
        script = std::move(parsed);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

bool RegistryScriptParser::parseScript(RegistryScript& script) {
    for (;;) {
        skipSpace();
        if (position_ == text_.size()) {
            return true;
        }
        RegistryScript::Root root;
        if (!parseRoot(root)) {
            return false;
        }
        script.roots.push_back(std::move(root));
    }
}

bool RegistryScriptParser::parseRoot(RegistryScript::Root& root) {
    Token token;
    if (!next(token) || token.quoted) {
        return false;
    }
    root.key = rootKey(token.text);
    return root.key != nullptr && expect(L"{") && parseBlock(root.keys, nullptr);
}

bool RegistryScriptParser::parseBlock(std::vector<RegistryScript::Key>& keys,
                                      std::vector<RegistryScript::Value>* values) {
    Token token;
    while (next(token)) {
        if (isWord(token, L"}")) {
            return true;
        }
        if (isWord(token, L"Val")) {
            if (values == nullptr || !parseNamedValue(*values)) {
                return false;
            }
            continue;
        }
        RegistryScript::Key key;
        if (!parseKey(std::move(token), key)) {
            return false;
        }
        keys.push_back(std::move(key));
    }
    return false;
}

bool RegistryScriptParser::parseKey(Token token, RegistryScript::Key& key) {
    if (isWord(token, L"NoRemove") || isWord(token, L"ForceRemove")) {
        key.removal = isWord(token, L"NoRemove") ? RegistryScript::Removal::NoRemove
                                                 : RegistryScript::Removal::ForceRemove;
        if (!next(token)) {
            return false;
        }
    }
    if (!isName(token)) {
        return false;
    }
    key.name = std::move(token.text);
    if (peekIs(L"=")) {
        expect(L"=");
        key.values.push_back(RegistryScript::Value{});
        if (!parseStringValue(key.values.back().text)) {
            return false;
        }
    }
    if (peekIs(L"{")) {
        expect(L"{");
        return parseBlock(key.subkeys, &key.values);
    }
    return true;
}

bool RegistryScriptParser::parseNamedValue(std::vector<RegistryScript::Value>& values) {
    Token name;
    if (!next(name) || !isName(name) || !expect(L"=")) {
        return false;
    }
    values.push_back(RegistryScript::Value{std::move(name.text), std::wstring()});
    return parseStringValue(values.back().text);
}

bool RegistryScriptParser::parseStringValue(std::wstring& text) {
    Token type;
    Token value;
    if (!next(type) || !isWord(type, L"s") || !next(value) || !value.quoted) {
        return false;
    }
    text = std::move(value.text);
    return true;
}

bool RegistryScriptParser::next(Token& token) {
    skipSpace();
    if (position_ == text_.size()) {
        return false;
    }
    token = Token{};
    if (text_[position_] != L'\'') {
        while (position_ < text_.size() && !isSpace(text_[position_])) {
            token.text.push_back(text_[position_++]);
        }
        return true;
    }
    token.quoted = true;
    for (++position_; position_ < text_.size(); ++position_) {
        if (text_[position_] != L'\'') {
            token.text.push_back(text_[position_]);
        } else if (position_ + 1 < text_.size() && text_[position_ + 1] == L'\'') {
            token.text.push_back(L'\'');
            ++position_;
        } else {
            ++position_;
            return true;
        }
    }
    return false;
}

bool RegistryScriptParser::peekIs(const wchar_t* word) {
    const std::size_t saved = position_;
    Token token;
    const bool found = next(token) && isWord(token, word);
    position_ = saved;
    return found;
}

bool RegistryScriptParser::expect(const wchar_t* word) {
    Token token;
    return next(token) && isWord(token, word);
}

void RegistryScriptParser::skipSpace() {
    while (position_ < text_.size() && isSpace(text_[position_])) {
        ++position_;
    }
}

bool RegistryScriptParser::isWord(const Token& token, const wchar_t* word) {
    return !token.quoted && equalsIgnoringCase(token.text, word);
}

// A bare word that is no keyword and has no quote in it (a sign of a value missing its
// spaces), or any quoted text but the empty one.
bool RegistryScriptParser::isName(const Token& token) {
    if (token.text.empty()) {
        return false;
    }
    if (token.quoted) {
        return true;
    }
    for (const wchar_t* keyword : keywords) {
        if (equalsIgnoringCase(token.text, keyword)) {
            return false;
        }
    }
    return token.text.find(L'\'') == std::wstring::npos;
}

} // namespace Corvane::Com
