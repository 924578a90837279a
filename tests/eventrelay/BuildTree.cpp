#include "BuildTree.h"

#include <windows.h>

namespace EventRelayTests {

std::wstring BuildTree::eventRelay() {
    return underBuild(L"tools\\eventrelay\\EventRelay.dll");
}

std::wstring BuildTree::fakeBus(const std::wstring& variant) {
    return underBuild(L"tests\\fakes\\" + variant + L"\\EventRelay.dll");
}

std::wstring BuildTree::testExecutable() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

std::wstring BuildTree::underBuild(const std::wstring& relative) {
    // The test executables live in <build>\tests.
    const std::wstring executable = testExecutable();
    const std::wstring joined = executable.substr(0, executable.find_last_of(L'\\')) + L"\\..\\" + relative;
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(joined.c_str(), MAX_PATH, full, nullptr);
    return std::wstring(full, length);
}

} // namespace EventRelayTests
