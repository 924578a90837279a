#pragma once

#include <atomic>

#include <windows.h>

#include <objidl.h>

#include "com/CriticalSection.h"
#include "com/ObjectMapEntry.h"

namespace Corvane::Com {

class Registrar;

// The one module object of Pelmora.dll: lock count, class-object cache, object map and the
// work behind the exports. Every operation returns an HRESULT and lets no exception out.
class CPelmoraModule {
public:
    CPelmoraModule() noexcept;
    virtual ~CPelmoraModule();

    CPelmoraModule(const CPelmoraModule&) = delete;
    CPelmoraModule& operator=(const CPelmoraModule&) = delete;

    // The new lock count.
    virtual LONG Lock() noexcept;
    virtual LONG Unlock() noexcept;
    virtual LONG GetLockCount() noexcept;
    // The process's global interface table, with a reference for the caller.
    virtual HRESULT GetGITPtr(IGlobalInterfaceTable** table) noexcept;
    virtual HRESULT AddCommonRGSReplacements(Registrar& registrar) noexcept;

    static CPelmoraModule& instance() noexcept;

    // False when the module's critical section could not be made.
    bool initialised() const noexcept { return section_.initialised(); }
    // Set by DllInstall with "user"; from then on classes and type library go per user.
    bool perUser() const noexcept { return perUser_; }

    HRESULT DllGetClassObject(REFCLSID classId, REFIID interfaceId, void** object) noexcept;
    HRESULT DllCanUnloadNow() noexcept;
    HRESULT DllRegisterServer() noexcept;
    HRESULT DllUnregisterServer() noexcept;
    HRESULT DllInstall(BOOL install, const wchar_t* commandLine) noexcept;

    // Runs a registry script resource of this module with "Module" and "Module_Raw" (and, for
    // the module's own run, "APPID") as replacements.
    HRESULT UpdateRegistryFromResource(UINT id, bool doRegister, bool withAppId) noexcept;

private:
    HRESULT classObjectFromMap(REFCLSID classId, REFIID interfaceId, void** object) noexcept;
    HRESULT cachedClassObject(ObjectMapEntry& entry, REFIID interfaceId, void** object) noexcept;
    HRESULT registerServer() noexcept;
    HRESULT unregisterServer() noexcept;
    HRESULT updateTypeLibRegistration(bool doRegister) noexcept;
    void releaseClassObjects() noexcept;

    CriticalSection section_;
    std::atomic<LONG> lockCount_{0};
    std::atomic<bool> perUser_{false};
    ObjectMapEntry objectMap_[1];
};

} // namespace Corvane::Com
