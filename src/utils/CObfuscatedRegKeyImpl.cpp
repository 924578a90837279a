#include "utils/CObfuscatedRegKeyImpl.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "utils/ScrambledRegistryBlob.h"
#include "utils/StringConversion.h"

namespace Vornix {

namespace {
// A value name in the thread's ANSI code page; a number below 65536 names a string resource
// of this module. Null stays null: the key's default value.
DWORD narrowName(const wchar_t* name, std::string& narrow, const char*& result) {
    result = nullptr;
    if (name == nullptr) {
        return ERROR_SUCCESS;
    }
    std::wstring wide;
    if (IS_INTRESOURCE(name)) {
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&narrowName), &self);
        wchar_t text[256];
        const int length = LoadStringW(self, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)), text, 256);
        if (length <= 0) {
            return ERROR_RESOURCE_NAME_NOT_FOUND;
        }
        wide.assign(text, static_cast<std::size_t>(length));
    } else {
        wide = name;
    }
    DWORD size = 0;
    if (const DWORD error = toMultiByte(CP_THREAD_ACP, wide.c_str(), nullptr, &size)) {
        return error;
    }
    narrow.assign(size, '\0');
    if (const DWORD error = toMultiByte(CP_THREAD_ACP, wide.c_str(), narrow.data(), &size)) {
        return error;
    }
    narrow.resize(size > 0 ? size - 1 : 0);
    result = narrow.c_str();
    return ERROR_SUCCESS;
}

// The caller's UTF-16 bytes as a string that certainly ends, whatever the size said.
std::wstring wideText(const void* data, DWORD size) {
    return std::wstring(static_cast<const wchar_t*>(data), size / sizeof(wchar_t));
}

DWORD textPayload(const void* data, DWORD size, std::string& payload) {
    const std::wstring text = wideText(data, size);
    std::unique_ptr<char[]> bytes;
    DWORD length = 0;
    if (const DWORD error = wideToUtf8(text.c_str(), bytes, &length)) {
        return error;
    }
    payload.assign(bytes.get(), length);
    return ERROR_SUCCESS;
}

DWORD listPayload(const void* data, DWORD size, std::string& payload) {
    std::wstring list = wideText(data, size);
    list.append(2, L'\0'); // a list cut short still ends
    std::unique_ptr<char[]> bytes;
    DWORD length = 0;
    if (const DWORD error = wideListToUtf8(list.c_str(), size, bytes, &length)) {
        return error;
    }
    payload.assign(bytes.get(), length);
    return ERROR_SUCCESS;
}

DWORD payloadOf(DWORD type, const void* data, DWORD size, std::string& payload) {
    switch (type) {
    case REG_SZ: return textPayload(data, size, payload);
    case REG_MULTI_SZ: return listPayload(data, size, payload);
    default: payload.assign(static_cast<const char*>(data), size); return ERROR_SUCCESS;
    }
}

DWORD readRaw(HKEY key, const char* name, std::vector<std::uint8_t>& blob) {
    blob.assign(256, 0);
    DWORD rawType = 0;
    DWORD size = static_cast<DWORD>(blob.size());
    LSTATUS status = RegQueryValueExA(key, name, nullptr, &rawType, blob.data(), &size);
    if (status == ERROR_MORE_DATA) {
        blob.assign(size, 0);
        status = RegQueryValueExA(key, name, nullptr, &rawType, blob.data(), &size);
    }
    if (status != ERROR_SUCCESS) {
        return static_cast<DWORD>(status);
    }
    if (rawType != REG_BINARY) {
        return ERROR_INVALID_DATA;
    }
    blob.resize(size);
    return ERROR_SUCCESS;
}

// The payload in the caller's form: UTF-16 text or list, or the bytes as stored.
DWORD deliver(DWORD type, std::string payload, void* buffer, DWORD* size) {
    if (type == REG_SZ) {
        return utf8ToWide(payload.c_str(), static_cast<wchar_t*>(buffer), size);
    }
    if (type == REG_MULTI_SZ) {
        payload.append(2, '\0'); // a list cut short still ends
        return utf8ListToWide(payload.c_str(), static_cast<wchar_t*>(buffer), size);
    }
    const auto needed = static_cast<DWORD>(payload.size());
    if (buffer == nullptr) {
        *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, payload.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}
} // namespace

DWORD CObfuscatedRegKeyImpl::WriteValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    if (data == nullptr || size == 0) {
        return ERROR_INVALID_PARAMETER;
    }
    try {
        std::string payload;
        if (const DWORD error = payloadOf(type, data, size, payload)) {
            return error;
        }
        std::vector<std::uint8_t> blob;
        if (const DWORD error = ScrambledRegistryBlob::Seal(type, payload, blob)) {
            return error;
        }
        std::string narrow;
        const char* valueName = nullptr;
        if (const DWORD error = narrowName(name, narrow, valueName)) {
            return error;
        }
        return static_cast<DWORD>(
            RegSetValueExA(Key(), valueName, 0, REG_BINARY, blob.data(), static_cast<DWORD>(blob.size())));
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

DWORD CObfuscatedRegKeyImpl::ReadValue(const wchar_t* name, DWORD* type, void* buffer, DWORD* size) {
    if (type == nullptr && size == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    try {
        std::string narrow;
        const char* valueName = nullptr;
        if (const DWORD error = narrowName(name, narrow, valueName)) {
            return error;
        }
        std::vector<std::uint8_t> blob;
        if (const DWORD error = readRaw(Key(), valueName, blob)) {
            return error;
        }
        DWORD recorded = 0;
        std::string payload;
        if (const DWORD error = ScrambledRegistryBlob::Open(blob, recorded, size != nullptr ? &payload : nullptr)) {
            return error;
        }
        if (type != nullptr) {
            *type = recorded;
        }
        return size == nullptr ? ERROR_SUCCESS : deliver(recorded, std::move(payload), buffer, size);
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

} // namespace Vornix
