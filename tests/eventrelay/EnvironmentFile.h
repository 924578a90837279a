#pragma once

#include <string>
#include <vector>

namespace EventRelayTests {

// A fresh temporary file whose path the named environment variable holds for the lifetime
// of the object; the variable is cleared and the file deleted at the end.
class EnvironmentFile {
public:
    explicit EnvironmentFile(std::wstring variable);
    ~EnvironmentFile();
    EnvironmentFile(const EnvironmentFile&) = delete;
    EnvironmentFile& operator=(const EnvironmentFile&) = delete;

    const std::wstring& path() const { return path_; }
    std::string content() const;
    // The content split at line feeds; a line feed ends every line.
    std::vector<std::string> lines() const;

private:
    std::wstring variable_;
    std::wstring path_;
};

} // namespace EventRelayTests
