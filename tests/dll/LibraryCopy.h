#pragma once

#include <string>

namespace PelmoraTests {

// A copy of the test DLL, under its own name, in a fresh folder below the temporary folder;
// both are removed again when the test ends.
class LibraryCopy {
public:
    LibraryCopy();
    ~LibraryCopy();
    LibraryCopy(const LibraryCopy&) = delete;
    LibraryCopy& operator=(const LibraryCopy&) = delete;

    const std::wstring& folder() const { return folder_; }
    std::wstring path() const;

private:
    std::wstring folder_;
};

} // namespace PelmoraTests
