#pragma once

#include <string>

#include <windows.h>

#include "utils/UniqueResource.h"

namespace PelmoraTests {

// A fresh key of its own below HKEY_CURRENT_USER\Software\PelmoraTests for one test;
// the destructor removes it with everything below it (and the shared parent once empty).
class TestRegistryKey {
  public:
    TestRegistryKey();
    ~TestRegistryKey();
    TestRegistryKey(const TestRegistryKey&) = delete;
    TestRegistryKey& operator=(const TestRegistryKey&) = delete;

    HKEY root() const { return HKEY_CURRENT_USER; }
    // Relative to root(); a child path names a key below this one, an empty one this key.
    const std::wstring& path() const { return path_; }
    std::wstring path(const std::wstring& child) const {
        return child.empty() ? path_ : path_ + L"\\" + child;
    }
    // The key opened with full access, for setting up and inspecting values directly.
    HKEY handle() const { return key_.get(); }

    bool exists(const std::wstring& child = std::wstring()) const;

  private:
    std::wstring path_;
    Vornix::UniqueRegKey key_;
};

} // namespace PelmoraTests
