#pragma once

// One call that a fake bus library received, as one line of the file named by the
// environment variable FAKE_BUS_RECORD (set it with SetEnvironmentVariableW: the fakes read
// the process environment on every call). Lines are appended in call order as calls arrive,
// so a test can read them after the library has been unloaded:
//
//   entry<TAB>key=value<TAB>key=value...<LF>
//
// Values: numbers in decimal; pointers "0x" and 16 lower-case hex digits; the header as
// lower-case hex of its bytes (100 for a version-1 header, 108 for version 2); strings as
// UTF-8 with backslash, tab, CR and LF written \\ \t \r \n. A null string or header leaves
// its key out, an empty string is "key=".
//
// Entries and keys, in this order ("result" is what the fake returned):
//   CreateObject     version result(pointer)
//   ReleaseObject    functions(pointer)
//   GetVersionStr    result(string)
//   GetVersionNum    result
//   acquireHandle    handle(pointer, as written) result
//   releaseHandle    handle result
//   publish          handle header name alias payload result
//   request          handle requestIndex context(pointer) callback(pointer) header name alias payload
//                    timeLimit result
//   subscribe        handle context callback messageName result(id)
//   subscribeFilter  handle context callback pattern result(id)
//   unsubscribe      handle id result
//   cancelReplies    handle callback result

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

class RecordedCall {
public:
    explicit RecordedCall(std::string entry) : entry_(std::move(entry)) {}

    const std::string& entry() const { return entry_; }

    // Building a line (the fakes).
    RecordedCall& number(const std::string& key, std::uint64_t value) {
        return add(key, std::to_string(value));
    }
    RecordedCall& pointer(const std::string& key, const void* value) {
        char buffer[32];
        snprintf(buffer, sizeof(buffer), "0x%016llx",
                 static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(value)));
        return add(key, buffer);
    }
    RecordedCall& text(const std::string& key, const wchar_t* value) {
        return value != nullptr ? add(key, toUtf8(value)) : *this;
    }
    RecordedCall& bytes(const std::string& key, const void* data, std::size_t size) {
        if (data == nullptr) {
            return *this;
        }
        static const char digits[] = "0123456789abcdef";
        std::string hex;
        for (std::size_t i = 0; i < size; ++i) {
            const unsigned byte = static_cast<const unsigned char*>(data)[i];
            hex += digits[byte >> 4];
            hex += digits[byte & 0xF];
        }
        return add(key, hex);
    }

    std::string line() const {
        std::string out = entry_;
        for (const auto& [key, value] : fields_) {
            out += '\t' + key + '=' + escape(value);
        }
        return out + '\n';
    }

    // Reading lines back (the tests).
    static RecordedCall parse(const std::string& line) {
        std::vector<std::string> parts = split(line);
        RecordedCall call(parts.empty() ? std::string() : parts.front());
        for (std::size_t i = 1; i < parts.size(); ++i) {
            const std::size_t equals = parts[i].find('=');
            call.add(parts[i].substr(0, equals),
                     equals == std::string::npos ? "" : unescape(parts[i].substr(equals + 1)));
        }
        return call;
    }

    // Every line of the file; none when it does not exist.
    static std::vector<RecordedCall> readFile(const std::wstring& path) {
        std::vector<RecordedCall> calls;
        const std::string content = readAll(path);
        std::size_t start = 0;
        for (std::size_t end; (end = content.find('\n', start)) != std::string::npos; start = end + 1) {
            calls.push_back(parse(content.substr(start, end - start)));
        }
        return calls;
    }

    bool has(const std::string& key) const { return find(key) != nullptr; }

    // Decimal or 0x-prefixed hex; 0 when absent.
    std::uint64_t numberOf(const std::string& key) const {
        const std::string* value = find(key);
        return value != nullptr ? std::stoull(*value, nullptr, 0) : 0;
    }

    std::optional<std::wstring> textOf(const std::string& key) const {
        const std::string* value = find(key);
        if (value == nullptr) {
            return std::nullopt;
        }
        return toWide(*value);
    }

    std::vector<std::uint8_t> bytesOf(const std::string& key) const {
        std::vector<std::uint8_t> bytes;
        if (const std::string* value = find(key)) {
            for (std::size_t i = 0; i + 1 < value->size(); i += 2) {
                bytes.push_back(static_cast<std::uint8_t>(std::stoul(value->substr(i, 2), nullptr, 16)));
            }
        }
        return bytes;
    }

private:
    RecordedCall& add(const std::string& key, std::string value) {
        fields_.emplace_back(key, std::move(value));
        return *this;
    }

    const std::string* find(const std::string& key) const {
        for (const auto& field : fields_) {
            if (field.first == key) {
                return &field.second;
            }
        }
        return nullptr;
    }

    static std::string readAll(const std::wstring& path) {
        const HANDLE file =
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return {};
        }
        std::string content;
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
            content.append(buffer, read);
        }
        CloseHandle(file);
        return content;
    }

    static std::vector<std::string> split(std::string line) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::vector<std::string> parts;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
            parts.push_back(line.substr(start, tab - start));
        }
        parts.push_back(line.substr(start));
        return parts;
    }

    static std::string escape(const std::string& value) {
        std::string out;
        for (const char c : value) {
            switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
            }
        }
        return out;
    }

    static std::string unescape(const std::string& value) {
        std::string out;
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (value[i] != '\\' || i + 1 == value.size()) {
                out += value[i];
                continue;
            }
            const char code = value[++i];
            out += code == 't' ? '\t' : code == 'r' ? '\r' : code == 'n' ? '\n' : code;
        }
        return out;
    }

    static std::string toUtf8(const std::wstring& text) {
        const int length = static_cast<int>(text.size());
        const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), size, nullptr, nullptr);
        return out;
    }

    static std::wstring toWide(const std::string& text) {
        const int length = static_cast<int>(text.size());
        const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
        std::wstring out(static_cast<std::size_t>(size), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), size);
        return out;
    }

    std::string entry_;
    std::vector<std::pair<std::string, std::string>> fields_;
};
