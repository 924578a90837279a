#pragma once

#include <string>

namespace EventRelayTests {

// Paths of the libraries under test, found from this executable's place in the build tree.
class BuildTree {
public:
    static std::wstring eventRelay();
    static std::wstring fakeBus(const std::wstring& variant);
    static std::wstring testExecutable();

private:
    static std::wstring underBuild(const std::wstring& relative);
};

} // namespace EventRelayTests
