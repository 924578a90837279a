#include "support/TestRegistryKey.h"

#include <atomic>

#include <gtest/gtest.h>

namespace PelmoraTests {

namespace {

constexpr const wchar_t* kTestRoot = L"Software\\PelmoraTests";

std::wstring uniquePath() {
    static std::atomic<unsigned> counter{0};
    return std::wstring(kTestRoot) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
}

} // namespace

TestRegistryKey::TestRegistryKey() : path_(uniquePath()) {
    // A crashed run with the same process id may have left the key behind.
    RegDeleteTreeW(root(), path_.c_str());
    const LSTATUS created = RegCreateKeyExW(root(), path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            KEY_ALL_ACCESS, nullptr, key_.put(), nullptr);
    if (created != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot create the test key, error " << created;
    }
}

TestRegistryKey::~TestRegistryKey() {
    key_.reset();
    RegDeleteTreeW(root(), path_.c_str());
    // Fails while other tests still have keys there, which is what we want.
    RegDeleteKeyW(root(), kTestRoot);
}

bool TestRegistryKey::exists(const std::wstring& child) const {
    Vornix::UniqueRegKey opened;
    return RegOpenKeyExW(root(), path(child).c_str(), 0, KEY_READ, opened.put()) == ERROR_SUCCESS;
}

} // namespace PelmoraTests
