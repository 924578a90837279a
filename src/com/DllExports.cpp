// The exports of Pelmora.dll (named by Pelmora.def) and its entry point. Each forwards to the
// module object, whose operations let no exception out.
#include <windows.h>

#include "com/CPelmoraModule.h"
#include "com/ProxyStubEntries.h"

using Corvane::Com::CPelmoraModule;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    // The proxy/stub runtime records the module handle its registration needs.
    PrxDllMain(instance, reason, reserved);
    if (reason == DLL_PROCESS_ATTACH) {
        return CPelmoraModule::instance().initialised() ? TRUE : FALSE;
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID interfaceId, LPVOID* object) {
    return CPelmoraModule::instance().DllGetClassObject(classId, interfaceId, object);
}

STDAPI DllCanUnloadNow() {
    return CPelmoraModule::instance().DllCanUnloadNow();
}

STDAPI DllRegisterServer() {
    return CPelmoraModule::instance().DllRegisterServer();
}

STDAPI DllUnregisterServer() {
    return CPelmoraModule::instance().DllUnregisterServer();
}

STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
    return CPelmoraModule::instance().DllInstall(install, commandLine);
}
