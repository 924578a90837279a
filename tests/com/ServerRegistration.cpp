#include "ServerRegistration.h"

#include "Regsvr32.h"

namespace PelmoraTests::ServerRegistration {

RegistryTree expectedClassTree(const std::wstring& dllPath) {
    return {
        {L"", {{L"", L"PelmoraImpl Class"}}},
        {L"InprocServer32", {{L"", dllPath}, {L"ThreadingModel", L"Both"}}},
        {L"Programmable", {}},
        {L"TypeLib", {{L"", L"{D68DDCCC-4880-4FD3-BE6F-DC13115E25E8}"}}},
        {L"Version", {{L"", L"1.0"}}},
    };
}

void removeAll(const std::wstring& dllPath) {
    regsvr32(L"/s /u /i:user /n " + quotedPath(dllPath));
    regsvr32(L"/s /u " + quotedPath(dllPath));
}

} // namespace PelmoraTests::ServerRegistration
