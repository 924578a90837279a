#pragma once

#include <string>

#include <windows.h>

#include <oleauto.h>

namespace Corvane::Com {

// mingw's oleauto.h lacks the per-user variants; they are looked up in OLEAUT32.DLL by name.
using RegisterTypeLibForUserFunction = HRESULT(WINAPI*)(ITypeLib* library, OLECHAR* fullPath,
                                                        OLECHAR* helpFolder);
using UnRegisterTypeLibForUserFunction = HRESULT(WINAPI*)(REFGUID libraryId, WORD majorVersion,
                                                          WORD minorVersion, LCID locale, SYSKIND systemKind);

// Registers the type library a module file carries as resource TYPELIB 1, under the module's
// path and without a help folder; per user, the per-user operations (the machine-wide ones
// where OLEAUT32.DLL has none).
class TypeLibRegistration {
public:
    explicit TypeLibRegistration(bool perUser) : perUser_(perUser) {}

    HRESULT registerFrom(const std::wstring& modulePath) const noexcept;
    // Unregisters the id, version, locale and system kind the module's type library has.
    HRESULT unregisterFrom(const std::wstring& modulePath) const noexcept;

private:
    bool perUser_;
};

} // namespace Corvane::Com
