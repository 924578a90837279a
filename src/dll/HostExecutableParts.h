#pragma once

#include <string>

namespace Corvane {

// The host executable's path split into drive, directory, file name and extension, taken
// once per process. Parts are chosen by a bit set and always joined in that order.
class HostExecutableParts {
public:
    static constexpr unsigned DRIVE = 1;
    static constexpr unsigned DIRECTORY = 2;
    static constexpr unsigned FILE_NAME = 4;
    static constexpr unsigned EXTENSION = 8;

    // Empty when the executable's path could not be read.
    static std::wstring join(unsigned parts);
};

} // namespace Corvane
