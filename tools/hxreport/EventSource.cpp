#include "EventSource.h"

#include <cstdio>
#include <memory>

#include <fcntl.h>
#include <io.h>

#include "ConsoleText.h"

namespace hxreport {

namespace {
EventText failure(std::wstring error) { return EventText{false, std::wstring(), std::move(error)}; }

EventText decoded(const std::string& bytes, const std::wstring& origin) {
    std::optional<std::wstring> text = hxtools::fromUtf8(bytes);
    if (!text) {
        return failure(origin + L" is not valid UTF-8");
    }
    return EventText{true, std::move(*text), std::wstring()};
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool readAll(std::FILE* stream, std::string& bytes) {
    char block[65536];
    std::size_t count;
    while ((count = std::fread(block, 1, sizeof block, stream)) > 0) {
        bytes.append(block, count);
    }
    return !std::ferror(stream);
}

EventText fromFile(const std::wstring& path) {
    const std::unique_ptr<std::FILE, FileCloser> file(_wfopen(path.c_str(), L"rb"));
    if (!file) {
        return failure(L"cannot open \"" + path + L"\"");
    }
    std::string bytes;
    if (!readAll(file.get(), bytes)) {
        return failure(L"cannot read \"" + path + L"\"");
    }
    return decoded(bytes, L"\"" + path + L"\"");
}

EventText fromStandardInput() {
    _setmode(_fileno(stdin), _O_BINARY);
    std::string bytes;
    if (!readAll(stdin, bytes)) {
        return failure(L"cannot read standard input");
    }
    return decoded(bytes, L"standard input");
}
} // namespace

EventText readEventText(const Options& options) {
    switch (options.from) {
    case EventFrom::Argument: return EventText{true, options.event, std::wstring()};
    case EventFrom::File: return fromFile(options.event);
    case EventFrom::StandardInput: return fromStandardInput();
    }
    return failure(L"no event text");
}

} // namespace hxreport
