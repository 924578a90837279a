#include "dll/FullyQualifiedFolder.h"

namespace Corvane {

namespace {

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool isDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// "X:" followed by a separator.
bool isDriveRooted(std::wstring_view path) {
    return path.size() >= 3 && isDriveLetter(path[0]) && path[1] == L':' && isSeparator(path[2]);
}

// Everything up to the next separator, which must not be empty.
bool takeComponent(std::wstring_view& path) {
    std::size_t length = 0;
    while (length < path.size() && !isSeparator(path[length])) {
        ++length;
    }
    path.remove_prefix(length);
    return length > 0;
}

// "server\share", then nothing or a separator.
bool isServerShare(std::wstring_view path) {
    if (!takeComponent(path) || path.empty()) {
        return false;
    }
    path.remove_prefix(1);
    return takeComponent(path);
}

bool isVerbatim(std::wstring_view path) {
    constexpr std::wstring_view unc = L"UNC\\";
    if (isDriveRooted(path)) {
        return true;
    }
    return path.substr(0, unc.size()) == unc && isServerShare(path.substr(unc.size()));
}

} // namespace

bool isFullyQualifiedFolder(std::wstring_view folder) {
    constexpr std::wstring_view verbatimPrefix = L"\\\\?\\";
    if (folder.find(L"$(") != std::wstring_view::npos) {
        return false;
    }
    if (folder.substr(0, verbatimPrefix.size()) == verbatimPrefix) {
        return isVerbatim(folder.substr(verbatimPrefix.size()));
    }
    if (folder.size() >= 2 && isSeparator(folder[0]) && isSeparator(folder[1])) {
        // "\\.\" and "\\?\" spelled with other separators are device paths, not shares.
        const std::wstring_view rest = folder.substr(2);
        return !rest.empty() && rest[0] != L'.' && rest[0] != L'?' && isServerShare(rest);
    }
    return isDriveRooted(folder);
}

} // namespace Corvane
