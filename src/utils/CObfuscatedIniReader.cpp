#include "utils/CObfuscatedIniReader.h"

#include <array>
#include <climits>
#include <cstring>
#include <cwchar>

#include <windows.h>

#include "utils/Md5.h"
#include "utils/ScrambledHeaderFields.h"
#include "utils/Scrambler.h"

namespace Vornix {

namespace {
constexpr std::uint32_t SCRAMBLE_PASSES = 1;
constexpr std::uint32_t HEADER_VERSION = 1;
constexpr std::size_t HEADER_BYTES = 36;
// Two hexadecimal digits per byte and two more for the platform's checksum byte.
constexpr std::size_t HEADER_TEXT_LENGTH = HEADER_BYTES * 2 + 2;

enum HeaderOffset : std::size_t { MAGIC = 0, VERSION = 4, SIZE = 8, TYPE = 12, SCRAMBLED = 16, DIGEST = 20 };

using HeaderBytes = std::array<std::uint8_t, HEADER_BYTES>;
using Fields = ScrambledHeaderFields;

struct ValueHeader {
    std::uint32_t size = 0;
    std::uint32_t type = 0;
    Md5Digest digest{};
};

HeaderBytes buildHeader(std::uint32_t type, std::uint32_t size, const Md5Digest& digest) {
    HeaderBytes header{};
    Fields::putMagic(header.data() + MAGIC);
    Fields::put32(header.data() + VERSION, HEADER_VERSION);
    Fields::put32(header.data() + SIZE, size);
    Fields::put32(header.data() + TYPE, type);
    Fields::put32(header.data() + SCRAMBLED, 1);
    std::memcpy(header.data() + DIGEST, digest.data(), digest.size());
    return header;
}

int hexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    return -1;
}

bool parseHex(const std::wstring& text, std::size_t count, std::uint8_t* bytes) {
    if (text.size() / 2 < count) {
        return false;
    }
    for (std::size_t k = 0; k < count; ++k) {
        const int high = hexDigit(text[2 * k]);
        const int low = hexDigit(text[2 * k + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes[k] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return true;
}

bool readHeader(const std::wstring& text, ValueHeader& header) {
    HeaderBytes bytes{};
    if (!parseHex(text, bytes.size(), bytes.data()) || !Fields::hasMagic(bytes.data() + MAGIC) ||
        Fields::get32(bytes.data() + VERSION) != HEADER_VERSION ||
        Fields::get32(bytes.data() + SCRAMBLED) == 0) {
        return false;
    }
    header.size = Fields::get32(bytes.data() + SIZE);
    header.type = Fields::get32(bytes.data() + TYPE);
    std::memcpy(header.digest.data(), bytes.data() + DIGEST, header.digest.size());
    return header.type == CObfuscatedIniReader::VALUE_TYPE_TEXT ||
           (header.type == CObfuscatedIniReader::VALUE_TYPE_INTEGER && header.size == 4);
}

// The checksum byte at the end of the text is not part of the value.
std::size_t payloadBytes(const std::wstring& text) {
    return text.empty() ? 0 : (text.size() - 1) / 2;
}

// The plain bytes of an intact value.
bool readPayload(const std::wstring& text, const ValueHeader& header, std::vector<std::uint8_t>& payload) {
    if (payloadBytes(text) != header.size) {
        return false;
    }
    payload.resize(header.size);
    Md5Digest digest{};
    return parseHex(text, payload.size(), payload.data()) &&
           md5(payload.data(), payload.size(), digest) == 0 && digest == header.digest &&
           Scrambler::descramble(Scrambler::INI_KEY, SCRAMBLE_PASSES, payload.data(), payload.size(),
                                 payload.data()) == ERROR_SUCCESS;
}

bool wideToAnsi(const std::wstring& text, std::string& ansi) {
    if (text.empty()) {
        ansi.clear();
        return true;
    }
    if (text.size() > INT_MAX) {
        return false;
    }
    const int size = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return false;
    }
    std::string result(static_cast<std::size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), size, result.data(), bytes, nullptr, nullptr) != bytes) {
        return false;
    }
    ansi = std::move(result);
    return true;
}

std::vector<std::uint8_t> integerBytes(int value) {
    std::vector<std::uint8_t> bytes(4);
    Fields::put32(bytes.data(), static_cast<std::uint32_t>(value));
    return bytes;
}

bool writeStruct(const std::wstring& section, const std::wstring& name, const std::uint8_t* bytes,
                 std::size_t size, const std::wstring& path) {
    // The platform wants a buffer even for no bytes.
    std::uint8_t none = 0;
    return WritePrivateProfileStructW(section.c_str(), name.c_str(),
                                      const_cast<std::uint8_t*>(size == 0 ? &none : bytes),
                                      static_cast<UINT>(size), path.c_str()) != FALSE;
}
} // namespace

bool CObfuscatedIniReader::Load(const std::wstring& path) {
    headers_.clear();
    sections_.clear();
    if (!CBaseIniReader::Load(path)) {
        return false;
    }
    const bool decoded = WithoutThrowing([&] {
        DecodeEntries();
        return true;
    });
    headers_.clear();
    return decoded;
}

void CObfuscatedIniReader::DecodeEntries() {
    for (const auto& [section, headers] : headers_) {
        const auto entries = sections_.find(section);
        if (entries == sections_.end()) {
            continue;
        }
        for (const auto& [name, headerText] : headers) {
            const auto entry = entries->second.find(name);
            if (entry != entries->second.end()) {
                Decode(headerText, entry->second);
            }
        }
    }
}

// A value that does not check out stays as it was read, undecoded.
void CObfuscatedIniReader::Decode(const std::wstring& headerText, Entry& entry) {
    ValueHeader header;
    std::vector<std::uint8_t> payload;
    if (!readHeader(headerText, header) || !readPayload(entry.value, header, payload)) {
        return;
    }
    std::wstring value;
    if (header.type == VALUE_TYPE_INTEGER) {
        value = std::to_wstring(static_cast<std::int32_t>(Fields::get32(payload.data())));
    } else if (!AnsiToWide(reinterpret_cast<const char*>(payload.data()), payload.size(), value)) {
        return;
    }
    entry = Entry{std::move(value), true, header.type};
}

bool CObfuscatedIniReader::Store(const std::wstring& section, const std::wstring& name,
                                 const std::wstring& value, bool overwrite) {
    return WithoutThrowing([&] {
        const auto entries = sections_.find(section);
        if (!overwrite && entries != sections_.end() && entries->second.count(name) != 0) {
            return false;
        }
        if (IsHeader(name, value)) {
            // The first header of a name wins, as the first value does.
            headers_[section].try_emplace(name.substr(1), value);
            return false;
        }
        sections_[section][name] = Entry{value, false, VALUE_TYPE_TEXT};
        return true;
    });
}

bool CObfuscatedIniReader::IsHeader(const std::wstring& name, const std::wstring& value) {
    std::uint8_t magic[Fields::MAGIC_SIZE];
    return !name.empty() && name.front() == L'_' && value.size() == HEADER_TEXT_LENGTH &&
           parseHex(value, sizeof magic, magic) && Fields::hasMagic(magic);
}

bool CObfuscatedIniReader::WriteInt(const std::wstring& section, const std::wstring& name, int value) {
    return WithoutThrowing([&] {
        std::vector<std::uint8_t> payload = integerBytes(value);
        if (!WriteScrambled(section, name, VALUE_TYPE_INTEGER, payload)) {
            return false;
        }
        sections_[section][name] = Entry{std::to_wstring(value), true, VALUE_TYPE_INTEGER};
        return true;
    });
}

bool CObfuscatedIniReader::WriteText(const std::wstring& section, const std::wstring& name,
                                     const std::wstring& text) {
    return WithoutThrowing([&] {
        std::string ansi;
        if (!wideToAnsi(text, ansi)) {
            return false;
        }
        std::vector<std::uint8_t> payload(ansi.begin(), ansi.end());
        if (!WriteScrambled(section, name, VALUE_TYPE_TEXT, payload)) {
            return false;
        }
        sections_[section][name] = Entry{text, true, VALUE_TYPE_TEXT};
        return true;
    });
}

// Scrambles payload in place and writes header and bytes into the loaded file.
bool CObfuscatedIniReader::WriteScrambled(const std::wstring& section, const std::wstring& name,
                                          std::uint32_t type, std::vector<std::uint8_t>& payload) const {
    Md5Digest digest{};
    if (Path().empty() || payload.size() > UINT32_MAX / 2 ||
        Scrambler::scramble(Scrambler::INI_KEY, SCRAMBLE_PASSES, payload.data(), payload.size(),
                            payload.data()) != ERROR_SUCCESS ||
        md5(payload.data(), payload.size(), digest) != ERROR_SUCCESS) {
        return false;
    }
    const HeaderBytes header = buildHeader(type, static_cast<std::uint32_t>(payload.size()), digest);
    return writeStruct(section, L"_" + name, header.data(), header.size(), Path()) &&
           writeStruct(section, name, payload.data(), payload.size(), Path());
}

bool CObfuscatedIniReader::GetInt(const std::wstring& section, const std::wstring& name, int& value) const {
    return WithoutThrowing([&] {
        std::wstring text;
        return LookUp(section, name, text) && ToInt(text, value);
    });
}

bool CObfuscatedIniReader::GetText(const std::wstring& section, const std::wstring& name,
                                   std::wstring& text) const {
    return WithoutThrowing([&] { return LookUp(section, name, text); });
}

bool CObfuscatedIniReader::GetIntByPath(const std::wstring& path, int& value) const {
    return WithoutThrowing([&] {
        std::wstring section;
        std::wstring name;
        std::wstring text;
        return SplitPath(path, section, name) && LookUp(section, name, text) && ToInt(text, value);
    });
}

bool CObfuscatedIniReader::GetTextByPath(const std::wstring& path, std::wstring& text) const {
    return WithoutThrowing([&] {
        std::wstring section;
        std::wstring name;
        return SplitPath(path, section, name) && LookUp(section, name, text);
    });
}

bool CObfuscatedIniReader::GetSection(const std::wstring& section,
                                      std::map<std::wstring, std::wstring>& entries) const {
    return WithoutThrowing([&] {
        const auto found = sections_.find(section);
        if (found == sections_.end()) {
            return false;
        }
        for (const auto& [name, entry] : found->second) {
            entries.insert_or_assign(name, entry.value);
        }
        return true;
    });
}

bool CObfuscatedIniReader::LookUp(const std::wstring& section, const std::wstring& name,
                                  std::wstring& text) const {
    const auto entries = sections_.find(section);
    if (entries == sections_.end()) {
        return false;
    }
    const auto entry = entries->second.find(name);
    if (entry == entries->second.end() || (mode_ == MODE_SCRAMBLED_ONLY && !entry->second.decoded)) {
        return false;
    }
    text = entry->second.value;
    return true;
}

bool CObfuscatedIniReader::SplitPath(const std::wstring& path, std::wstring& section, std::wstring& name) {
    const std::size_t dot = path.find(L'.');
    if (dot == std::wstring::npos) {
        return false;
    }
    section = path.substr(0, dot);
    name = path.substr(dot + 1);
    return true;
}

// Signed decimal with leading blanks, saturating at the 32-bit limits (long is 32 bits here).
bool CObfuscatedIniReader::ToInt(const std::wstring& text, int& value) {
    wchar_t* end = nullptr;
    const long number = std::wcstol(text.c_str(), &end, 10);
    if (end == text.c_str()) {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

} // namespace Vornix
