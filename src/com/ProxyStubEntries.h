#pragma once

#include <windows.h>

// The proxy/stub runtime's entry points as the generated dlldata.c defines them (with the Prx
// prefix, so that the module's own exports can call them).
extern "C" {
BOOL WINAPI PrxDllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
HRESULT WINAPI PrxDllGetClassObject(REFCLSID classId, REFIID interfaceId, void** object);
HRESULT WINAPI PrxDllCanUnloadNow();
HRESULT WINAPI PrxDllRegisterServer();
HRESULT WINAPI PrxDllUnregisterServer();
}
