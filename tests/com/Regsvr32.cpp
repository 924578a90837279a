#include "Regsvr32.h"

#include <stdexcept>
#include <string>

#include "utils/UniqueResource.h"

namespace PelmoraTests {

DWORD regsvr32(const std::wstring& arguments) {
    std::wstring commandLine = L"regsvr32.exe " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        throw std::runtime_error("regsvr32 does not start: error " + std::to_string(GetLastError()));
    }
    const Vornix::UniqueHandle processHandle(process.hProcess);
    const Vornix::UniqueHandle threadHandle(process.hThread);
    DWORD exitCode = 0;
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, &exitCode)) {
        throw std::runtime_error("regsvr32 does not finish");
    }
    return exitCode;
}

std::wstring quotedPath(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

} // namespace PelmoraTests
