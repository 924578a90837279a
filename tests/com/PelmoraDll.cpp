#include "PelmoraDll.h"

#include <stdexcept>

namespace PelmoraTests {

namespace {
using GetClassObjectFunction = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using NoArgumentFunction = HRESULT(WINAPI*)();
using InstallFunction = HRESULT(WINAPI*)(BOOL, LPCWSTR);
} // namespace

std::wstring PelmoraDll::defaultPath() {
    wchar_t executable[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, executable, MAX_PATH);
    std::wstring path(executable, length);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"Pelmora.dll";
}

PelmoraDll::PelmoraDll(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {
    if (!module_) {
        throw std::runtime_error("Pelmora.dll does not load");
    }
}

template <typename Function> Function PelmoraDll::exported(const char* name) const {
    auto function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_.get(), name)));
    if (function == nullptr) {
        throw std::runtime_error(std::string("Pelmora.dll does not export ") + name);
    }
    return function;
}

HRESULT PelmoraDll::getClassObject(REFCLSID classId, REFIID interfaceId, void** object) const {
    return exported<GetClassObjectFunction>("DllGetClassObject")(classId, interfaceId, object);
}

HRESULT PelmoraDll::canUnloadNow() const {
    return exported<NoArgumentFunction>("DllCanUnloadNow")();
}

HRESULT PelmoraDll::registerServer() const {
    return exported<NoArgumentFunction>("DllRegisterServer")();
}

HRESULT PelmoraDll::unregisterServer() const {
    return exported<NoArgumentFunction>("DllUnregisterServer")();
}

HRESULT PelmoraDll::install(BOOL install, const wchar_t* commandLine) const {
    return exported<InstallFunction>("DllInstall")(install, commandLine);
}

} // namespace PelmoraTests
