#include "wrappers/RegistryAPI.h"

#include <new>

#include "utils/CRegKey.h"

namespace Corvane {

namespace {
constexpr DWORD stringCapacity = MAX_PATH; // characters, terminating zero included
} // namespace

MODULE_STATUS RegistryAPI::readStringValue(const std::wstring& keyPath, const std::wstring& valueName,
                                           std::wstring& text) {
    try {
        Vornix::CRegKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, keyPath.c_str(), KEY_READ) != ERROR_SUCCESS) {
            return MODULE_STATUS_UNSUCCESSFUL;
        }
        wchar_t buffer[stringCapacity];
        DWORD count = stringCapacity;
        if (key.ReadStringBuffer(valueName.c_str(), buffer, &count) != ERROR_SUCCESS) {
            return MODULE_STATUS_UNSUCCESSFUL;
        }
        text.assign(buffer, count > 0 ? count - 1 : 0);
        return MODULE_STATUS_SUCCESS;
    } catch (const std::bad_alloc&) {
        return MODULE_STATUS_UNSUCCESSFUL;
    }
}

MODULE_STATUS RegistryAPI::readDwordValue(const std::wstring& keyPath, const std::wstring& valueName,
                                          DWORD& value) {
    try {
        Vornix::CRegKey key;
        DWORD read = 0;
        if (key.Open(HKEY_LOCAL_MACHINE, keyPath.c_str(), KEY_READ) != ERROR_SUCCESS ||
            key.ReadDword(valueName.c_str(), read) != ERROR_SUCCESS) {
            return MODULE_STATUS_UNSUCCESSFUL;
        }
        value = read;
        return MODULE_STATUS_SUCCESS;
    } catch (const std::bad_alloc&) {
        return MODULE_STATUS_UNSUCCESSFUL;
    }
}

} // namespace Corvane
