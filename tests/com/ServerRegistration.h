#pragma once

#include <string>

#include "RegistryTree.h"

namespace PelmoraTests {

// What registering Pelmora.dll writes and where, for the tests that read it back.
namespace ServerRegistration {

inline const std::wstring classKey = L"CLSID\\{E782BE15-9936-4A7F-8DF9-9AB95D229DF1}";
inline const std::wstring perUserClassKey = L"Software\\Classes\\" + classKey;
inline const std::wstring interfaceKey = L"Interface\\{AC29BAF7-7EFF-4A82-8B29-76B1A3E27A6D}";
inline const std::wstring typeLibKey = L"TypeLib\\{D69DDCCC-4880-4FD3-BE6F-DC13115E25E8}";

// The class key with everything below it, for the DLL at dllPath.
RegistryTree expectedClassTree(const std::wstring& dllPath);

// Removes every registration of the DLL at dllPath, per machine and per user, whatever a test
// left behind.
void removeAll(const std::wstring& dllPath);

} // namespace ServerRegistration

} // namespace PelmoraTests
