#include "dll/PathMacroTable.h"

#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>

#include "dll/HostExecutableParts.h"
#include "utils/UniqueResource.h"

namespace Corvane {

namespace {
using Services = PathHelpers::_Impl;

std::wstring knownFolder(const Services& services, const KNOWNFOLDERID& folder) {
    Vornix::UniqueCoTaskMemString path; // released whatever the result
    const HRESULT result = services.shell->getKnownFolderPath(folder, 0, nullptr, path.put());
    return SUCCEEDED(result) && path ? std::wstring(path.get()) : std::wstring();
}

std::wstring installFolder(const Services& services) {
    const wchar_t* name = services.osInfo->isWow64Process() ? L"Install Dir32" : L"Install Dir";
    std::wstring folder;
    if (services.registry->readStringValue(L"SOFTWARE\\HALVEX\\TAMROK", name, folder) != MODULE_STATUS_SUCCESS) {
        return std::wstring();
    }
    return folder;
}

std::wstring platform(const Services& services) {
    switch (services.osInfo->getPlatformClass()) {
    case 0: return L"win32";
    case 1: return L"x64";
    case 2: return L"PlatformUnknown";
    default: return std::wstring();
    }
}

PathMacroTable::Provider hostParts(unsigned parts) {
    return [parts](const Services&) { return HostExecutableParts::join(parts); };
}

PathMacroTable::Provider folder(const KNOWNFOLDERID& id) {
    return [id](const Services& services) { return knownFolder(services, id); };
}

using Parts = HostExecutableParts;

// Built when the library loads, like the macro table itself.
const std::wregex macroSyntax(LR"(\$\([^$()]+\))", std::regex::ECMAScript);

const std::unordered_map<std::wstring, PathMacroTable::Provider> providers = {
    {L"$(OS.Platform)", platform},
    {L"$(App.Binary)", hostParts(Parts::FILE_NAME | Parts::EXTENSION)},
    {L"$(App.Name)", hostParts(Parts::FILE_NAME)},
    {L"$(App.Folder)", hostParts(Parts::DRIVE | Parts::DIRECTORY)},
    {L"$(App.Path)", hostParts(Parts::DRIVE | Parts::DIRECTORY | Parts::FILE_NAME | Parts::EXTENSION)},
    {L"$(Tamrok.InstallDir)", installFolder},
    {L"$(FOLDERID_Profile)", folder(FOLDERID_Profile)},
    {L"$(FOLDERID_Desktop)", folder(FOLDERID_Desktop)},
    {L"$(FOLDERID_Documents)", folder(FOLDERID_Documents)},
    {L"$(FOLDERID_LocalAppDataLow)", folder(FOLDERID_LocalAppDataLow)},
    {L"$(FOLDERID_LocalAppData)", folder(FOLDERID_LocalAppData)},
    {L"$(FOLDERID_RoamingAppData)", folder(FOLDERID_RoamingAppData)},
    {L"$(FOLDERID_ProgramData)", folder(FOLDERID_ProgramData)},
    {L"$(FOLDERID_ProgramFiles)", folder(FOLDERID_ProgramFiles)},
    {L"$(FOLDERID_ProgramFilesX64)", folder(FOLDERID_ProgramFilesX64)},
    {L"$(FOLDERID_ProgramFilesX86)", folder(FOLDERID_ProgramFilesX86)},
    {L"$(FOLDERID_ProgramFilesCommon)", folder(FOLDERID_ProgramFilesCommon)},
    {L"$(FOLDERID_ProgramFilesCommonX64)", folder(FOLDERID_ProgramFilesCommonX64)},
    {L"$(FOLDERID_ProgramFilesCommonX86)", folder(FOLDERID_ProgramFilesCommonX86)},
};
} // namespace

const std::wregex& PathMacroTable::syntax() { return macroSyntax; }

const PathMacroTable::Provider* PathMacroTable::find(const std::wstring& macro) {
    const auto found = providers.find(macro);
    return found == providers.end() ? nullptr : &found->second;
}

} // namespace Corvane
