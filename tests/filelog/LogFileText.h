#pragma once

#include <string>
#include <vector>

namespace FileLogTests {

// One log file as it lies on disk: UTF-16 little-endian text behind a byte-order mark.
class LogFileText {
public:
    explicit LogFileText(const std::wstring& path);

    std::size_t size() const { return bytes_.size(); }
    // Empty when the file starts with FF FE, has an even size and pairs every surrogate;
    // else what is wrong with it.
    std::string encodingProblem() const;
    // The text after the byte-order mark, cut after every "\r\n"; a last piece without it is
    // kept as it is.
    std::vector<std::wstring> lines() const;

private:
    std::wstring text() const;

    std::string bytes_;
};

} // namespace FileLogTests
