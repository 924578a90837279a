#pragma once

#include <map>
#include <optional>
#include <string>

#include <windows.h>

namespace PelmoraTests {

// A key and everything below it: the path of each key relative to the first ("" for that
// one), then each value's name ("" for the default value) and its data. REG_SZ data is the
// text; any other type reads as "<type N>".
using RegistryTree = std::map<std::wstring, std::map<std::wstring, std::wstring>>;

// Nothing when the key does not exist.
std::optional<RegistryTree> readRegistryTree(HKEY root, const std::wstring& path);

bool registryKeyExists(HKEY root, const std::wstring& path);

// The default value of a key; nothing when the key or the value is missing.
std::optional<std::wstring> registryDefaultValue(HKEY root, const std::wstring& path);

} // namespace PelmoraTests
