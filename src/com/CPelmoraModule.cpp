#include "com/CPelmoraModule.h"

#include <cwchar>
#include <iterator>
#include <mutex>
#include <new>
#include <string>

#include "AnalyticsAPI.h"
#include "com/CPelmoraImpl.h"
#include "com/CachedClassFactory.h"
#include "utils/ComPtr.h"
#include "com/ModuleFileName.h"
#include "com/ProxyStubEntries.h"
#include "com/Registrar.h"
#include "com/ThreadLocaleSwitch.h"
#include "com/TypeLibRegistration.h"
#include "com/resource.h"

namespace Corvane::Com {

namespace {
constexpr const wchar_t* applicationId = L"{AA7BB9F2-927E-4841-9D77-91955FF403AA}";

CPelmoraModule theModule;
} // namespace

CPelmoraModule::CPelmoraModule() noexcept
    : objectMap_{{&CLSID_AnalyticsAPI, &Analytics::CPelmoraImpl::UpdateRegistry,
                  &Analytics::CPelmoraImpl::CreateInstance, nullptr}} {}

CPelmoraModule::~CPelmoraModule() {
    releaseClassObjects();
}

CPelmoraModule& CPelmoraModule::instance() noexcept {
    return theModule;
}

LONG CPelmoraModule::Lock() noexcept {
    return ++lockCount_;
}

LONG CPelmoraModule::Unlock() noexcept {
    return --lockCount_;
}

LONG CPelmoraModule::GetLockCount() noexcept {
    return lockCount_;
}

// COM keeps one table per process; asking for it again gives the same one.
HRESULT CPelmoraModule::GetGITPtr(IGlobalInterfaceTable** table) noexcept {
    if (table == nullptr) {
        return E_POINTER;
    }
    return CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                            IID_IGlobalInterfaceTable, reinterpret_cast<void**>(table));
}

HRESULT CPelmoraModule::AddCommonRGSReplacements(Registrar& registrar) noexcept {
    return registrar.addReplacement(L"APPID", applicationId);
}

HRESULT CPelmoraModule::DllGetClassObject(REFCLSID classId, REFIID interfaceId, void** object) noexcept {
    // The proxy/stub runtime writes through the pointer before it looks at anything else.
    if (object == nullptr) {
        return E_POINTER;
    }
    const HRESULT proxyStub = PrxDllGetClassObject(classId, interfaceId, object);
    if (proxyStub != CLASS_E_CLASSNOTAVAILABLE) {
        return proxyStub;
    }
    return classObjectFromMap(classId, interfaceId, object);
}

HRESULT CPelmoraModule::DllCanUnloadNow() noexcept {
    const HRESULT proxyStub = PrxDllCanUnloadNow();
    if (proxyStub != S_OK) {
        return proxyStub;
    }
    return GetLockCount() == 0 ? S_OK : S_FALSE;
}

HRESULT CPelmoraModule::DllRegisterServer() noexcept {
    const HRESULT result = registerServer();
    return FAILED(result) ? result : PrxDllRegisterServer();
}

HRESULT CPelmoraModule::DllUnregisterServer() noexcept {
    HRESULT result = unregisterServer();
    if (SUCCEEDED(result)) {
        // The runtime's unregistration expects its entries to be there.
        result = PrxDllRegisterServer();
    }
    return FAILED(result) ? result : PrxDllUnregisterServer();
}

HRESULT CPelmoraModule::DllInstall(BOOL install, const wchar_t* commandLine) noexcept {
    // Five characters take in the terminating NUL: "users" is not "user".
    if (commandLine != nullptr && _wcsnicmp(commandLine, L"user", 5) == 0) {
        perUser_ = true;
    }
    if (!install) {
        return DllUnregisterServer();
    }
    const HRESULT result = DllRegisterServer();
    if (FAILED(result)) {
        DllUnregisterServer();
    }
    return result;
}

HRESULT CPelmoraModule::UpdateRegistryFromResource(UINT id, bool doRegister, bool withAppId) noexcept {
    try {
        std::wstring path;
        HRESULT result = moduleFileName(thisModule(), path);
        Registrar registrar(perUser());
        if (SUCCEEDED(result)) {
            result = registrar.addReplacement(L"Module", Registrar::quoted(path));
        }
        if (SUCCEEDED(result)) {
            result = registrar.addReplacement(L"Module_Raw", path);
        }
        if (SUCCEEDED(result) && withAppId) {
            result = AddCommonRGSReplacements(registrar);
        }
        if (FAILED(result)) {
            return result;
        }
        return doRegister ? registrar.resourceRegister(thisModule(), id, L"REGISTRY")
                          : registrar.resourceUnregister(thisModule(), id, L"REGISTRY");
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CPelmoraModule::classObjectFromMap(REFCLSID classId, REFIID interfaceId, void** object) noexcept {
    *object = nullptr;
    if (!initialised()) {
        return E_UNEXPECTED;
    }
    for (auto& entry : objectMap_) {
        if (IsEqualCLSID(classId, *entry.classId)) {
            return cachedClassObject(entry, interfaceId, object);
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CPelmoraModule::cachedClassObject(ObjectMapEntry& entry, REFIID interfaceId, void** object) noexcept {
    if (entry.classObject == nullptr) {
        std::lock_guard<CriticalSection> guard(section_);
        if (entry.classObject == nullptr) {
            IUnknown* created = nullptr;
            const HRESULT result = CachedClassFactory::create(*this, entry.createInstance, &created);
            if (FAILED(result)) {
                return result;
            }
            entry.classObject = created;
        }
    }
    const HRESULT result = entry.classObject.load()->QueryInterface(interfaceId, object);
    return SUCCEEDED(result) && *object == nullptr ? CLASS_E_CLASSNOTAVAILABLE : result;
}

HRESULT CPelmoraModule::registerServer() noexcept {
    const ThreadLocaleSwitch locale(LOCALE_SYSTEM_DEFAULT);
    HRESULT result = UpdateRegistryFromResource(IDR_PELMORA, true, true);
    for (auto entry = std::begin(objectMap_); SUCCEEDED(result) && entry != std::end(objectMap_); ++entry) {
        result = entry->updateRegistry(true);
    }
    return FAILED(result) ? result : updateTypeLibRegistration(true);
}

HRESULT CPelmoraModule::unregisterServer() noexcept {
    const ThreadLocaleSwitch locale(LOCALE_SYSTEM_DEFAULT);
    HRESULT result = S_OK;
    for (auto entry = std::begin(objectMap_); SUCCEEDED(result) && entry != std::end(objectMap_); ++entry) {
        result = entry->updateRegistry(false);
    }
    if (SUCCEEDED(result)) {
        result = updateTypeLibRegistration(false);
    }
    return FAILED(result) ? result : UpdateRegistryFromResource(IDR_PELMORA, false, true);
}

HRESULT CPelmoraModule::updateTypeLibRegistration(bool doRegister) noexcept {
    try {
        std::wstring path;
        const HRESULT result = moduleFileName(thisModule(), path);
        if (FAILED(result)) {
            return result;
        }
        const TypeLibRegistration typeLib(perUser());
        return doRegister ? typeLib.registerFrom(path) : typeLib.unregisterFrom(path);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

void CPelmoraModule::releaseClassObjects() noexcept {
    for (auto& entry : objectMap_) {
        if (IUnknown* classObject = entry.classObject.exchange(nullptr)) {
            classObject->Release();
        }
    }
}

} // namespace Corvane::Com
