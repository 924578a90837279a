#pragma once

#include <string>

#include "com/RegistryScript.h"

namespace Corvane::Com {

// Reads the registrar's script syntax:
//
//   HKCR { NoRemove CLSID { ForceRemove {id} = s 'Name' { InprocServer32 = s '%MODULE%' {
//       val ThreadingModel = s 'Both' } } } }
//
// Words are separated by white space; names and values may be quoted with single quotes, a
// doubled quote standing for one. Keywords and root names ignore letter case. Only string
// values are known. Anything else is refused as a whole.
class RegistryScriptParser {
public:
    // DISP_E_EXCEPTION for a script it does not understand (script then untouched),
    // E_OUTOFMEMORY when memory runs out.
    static HRESULT parse(const std::wstring& text, RegistryScript& script) noexcept;

private:
    struct Token {
        std::wstring text;
        bool quoted = false;
    };

    explicit RegistryScriptParser(const std::wstring& text) : text_(text) {}

    bool parseScript(RegistryScript& script);
    bool parseRoot(RegistryScript::Root& root);
    // Keys (and, where values is given, named values) up to the closing brace.
    bool parseBlock(std::vector<RegistryScript::Key>& keys, std::vector<RegistryScript::Value>* values);
    bool parseKey(Token token, RegistryScript::Key& key);
    bool parseNamedValue(std::vector<RegistryScript::Value>& values);
    bool parseStringValue(std::wstring& text);

    // False at the end of the text or on an unterminated quote.
    bool next(Token& token);
    bool peekIs(const wchar_t* word);
    bool expect(const wchar_t* word);
    void skipSpace();
    static bool isWord(const Token& token, const wchar_t* word);
    static bool isName(const Token& token);

    const std::wstring& text_;
    std::size_t position_ = 0;
};

} // namespace Corvane::Com
