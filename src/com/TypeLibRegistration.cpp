#include "com/TypeLibRegistration.h"

#include "utils/ComPtr.h"

namespace Corvane::Com {

namespace {
template <typename Function> Function oleAutomationFunction(const char* name) {
    const HMODULE oleAutomation = GetModuleHandleW(L"oleaut32.dll");
    return oleAutomation != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(oleAutomation, name)))
               : nullptr;
}
} // namespace

HRESULT TypeLibRegistration::registerFrom(const std::wstring& modulePath) const noexcept {
    ComPtr<ITypeLib> library;
    const HRESULT loaded = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library.put());
    if (FAILED(loaded)) {
        return loaded;
    }
    auto* path = const_cast<OLECHAR*>(modulePath.c_str());
    if (perUser_) {
        if (auto forUser = oleAutomationFunction<RegisterTypeLibForUserFunction>("RegisterTypeLibForUser")) {
            return forUser(library.get(), path, nullptr);
        }
    }
    return RegisterTypeLib(library.get(), path, nullptr);
}

HRESULT TypeLibRegistration::unregisterFrom(const std::wstring& modulePath) const noexcept {
    ComPtr<ITypeLib> library;
    HRESULT result = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library.put());
    TLIBATTR* attributes = nullptr;
    if (SUCCEEDED(result)) {
        result = library->GetLibAttr(&attributes);
    }
    if (FAILED(result)) {
        return result;
    }
    const TLIBATTR copy = *attributes;
    library->ReleaseTLibAttr(attributes);
    if (perUser_) {
        if (auto forUser =
                oleAutomationFunction<UnRegisterTypeLibForUserFunction>("UnRegisterTypeLibForUser")) {
            return forUser(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid, copy.syskind);
        }
    }
    return UnRegisterTypeLib(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid, copy.syskind);
}

} // namespace Corvane::Com
