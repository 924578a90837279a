#include "utils/CBaseIniReader.h"

#include <cerrno>
#include <climits>
#include <cstdio>

#include <share.h>

#include <windows.h>

#include "utils/UniqueResource.h"

namespace Vornix {

namespace {
struct CrtFileTraits {
    using Handle = std::FILE*;
    static Handle empty() { return nullptr; }
    static void close(Handle file) { std::fclose(file); }
};
using UniqueCrtFile = UniqueResource<CrtFileTraits>;

// Lines are read in pieces of at most this many bytes and joined again before parsing, so
// that a long value is not cut into separate entries.
constexpr int CHUNK_BYTES = 1023;

std::wstring trimmed(const std::wstring& text) {
    static const wchar_t* const blanks = L" \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}
} // namespace

bool CBaseIniReader::Load(const std::wstring& path) {
    if (path.empty()) {
        return false;
    }
    return WithoutThrowing([&] { return LoadFile(path); });
}

bool CBaseIniReader::LoadFile(const std::wstring& path) {
    path_ = path;
    currentSection_.clear();
    sectionCount_ = 0;
    entryCount_ = 0;
    // Shared like the platform's profile functions open it, so that a writer elsewhere is no obstacle.
    errno = 0;
    UniqueCrtFile file(_wfsopen(path.c_str(), L"rt", _SH_DENYNO));
    if (!file) {
        const int error = errno;
        // A missing file is created by the first write; any other failure would hit the writes too.
        if (error != ENOENT) {
            path_.clear();
        }
        return false;
    }
    ReadLines(file.get());
    return true;
}

void CBaseIniReader::ReadLines(std::FILE* file) {
    char chunk[CHUNK_BYTES + 1];
    std::string line;
    while (std::fgets(chunk, sizeof(chunk), file) != nullptr) {
        line += chunk;
        if (!line.empty() && line.back() == '\n') {
            ParseLine(line);
            line.clear();
        }
    }
    if (!line.empty()) {
        ParseLine(line);
    }
}

void CBaseIniReader::ParseLine(const std::string& line) {
    std::wstring wide;
    if (!AnsiToWide(line.data(), line.size(), wide)) {
        return;
    }
    const std::wstring text = trimmed(wide);
    if (text.empty() || text.front() == L';') {
        return;
    }
    if (text.front() == L'[' && text.back() == L']') {
        EnterSection(trimmed(text.substr(1, text.size() - 2)));
        return;
    }
    const std::size_t equals = text.find(L'=');
    if (equals == std::wstring::npos) {
        return;
    }
    if (Store(currentSection_, trimmed(text.substr(0, equals)), trimmed(text.substr(equals + 1)), false)) {
        ++entryCount_;
    }
}

void CBaseIniReader::EnterSection(const std::wstring& section) {
    if (!section.empty()) {
        currentSection_ = section;
        ++sectionCount_;
    }
}

bool CBaseIniReader::GetInt(const std::wstring& section, const std::wstring& name, int& value) const {
    return WithoutThrowing([&] { return GetIntByPath(section + L"." + name, value); });
}

bool CBaseIniReader::GetText(const std::wstring& section, const std::wstring& name,
                             std::wstring& text) const {
    return WithoutThrowing([&] { return GetTextByPath(section + L"." + name, text); });
}

bool CBaseIniReader::WriteInt(const std::wstring& section, const std::wstring& name, int value) {
    return WithoutThrowing([&] { return WriteText(section, name, std::to_wstring(value)); });
}

bool CBaseIniReader::WriteText(const std::wstring& section, const std::wstring& name,
                               const std::wstring& text) {
    if (path_.empty() ||
        !WritePrivateProfileStringW(section.c_str(), name.c_str(), text.c_str(), path_.c_str())) {
        return false;
    }
    // The file holds the value now, whether or not the table keeps it.
    Store(section, name, text, true);
    return true;
}

bool CBaseIniReader::AnsiToWide(const char* text, std::size_t size, std::wstring& wide) {
    if (size == 0) {
        wide.clear();
        return true;
    }
    if (size > INT_MAX) {
        return false;
    }
    const int length = MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(size), nullptr, 0);
    if (length <= 0) {
        return false;
    }
    return WithoutThrowing([&] {
        std::wstring result(static_cast<std::size_t>(length), L'\0');
        if (MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(size), result.data(), length) != length) {
            return false;
        }
        wide = std::move(result);
        return true;
    });
}

} // namespace Vornix
