#include "utils/CRegKeyImpl.h"

#include <algorithm>
#include <cwchar>
#include <new>
#include <utility>
#include <vector>

#include <objbase.h>
#include <shlwapi.h>

namespace Vornix::internal {

namespace {

constexpr REGSAM kViewMask = KEY_WOW64_64KEY | KEY_WOW64_32KEY;
constexpr DWORD kTypeNotReported = MAXDWORD;
constexpr DWORD kGuidTextCapacity = 64;
constexpr DWORD kSubKeyNameCapacity = 256;

using RegDeleteKeyExFunction = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);

// Looked up rather than imported so that the library still loads where the function is
// missing; Advapi32 is always loaded in our process, so it is not loaded for this.
RegDeleteKeyExFunction regDeleteKeyEx() {
    static const RegDeleteKeyExFunction function = [] {
        const HMODULE advapi = GetModuleHandleW(L"Advapi32.dll");
        const FARPROC found = advapi ? GetProcAddress(advapi, "RegDeleteKeyExW") : nullptr;
        return reinterpret_cast<RegDeleteKeyExFunction>(reinterpret_cast<void*>(found));
    }();
    return function;
}

// A count of characters that does not fit in a DWORD of bytes would cut the value short.
DWORD toByteSize(size_t characters, DWORD& bytes) {
    if (characters > MAXDWORD / sizeof(wchar_t)) {
        return ERROR_INVALID_PARAMETER;
    }
    bytes = static_cast<DWORD>(characters * sizeof(wchar_t));
    return ERROR_SUCCESS;
}

// Capacity in bytes of a buffer of count characters; a larger claim is safely offered less.
DWORD offeredBytes(DWORD count) {
    return static_cast<DWORD>(std::min<size_t>(count, MAXDWORD / sizeof(wchar_t)) * sizeof(wchar_t));
}

// Characters needed for bytes, rounded up so that a read with that many can hold them all.
DWORD charactersFor(DWORD bytes) {
    return bytes / sizeof(wchar_t) + bytes % sizeof(wchar_t);
}

size_t multiStringLength(const wchar_t* list) {
    size_t length = 0;
    while (list[length] != L'\0') {
        length += std::wcslen(list + length) + 1;
    }
    return length + 1;
}

bool isWellFormedString(const wchar_t* buffer, DWORD bytes) {
    return bytes % sizeof(wchar_t) == 0 && buffer[bytes / sizeof(wchar_t) - 1] == L'\0';
}

bool isWellFormedMultiString(const wchar_t* buffer, DWORD bytes) {
    if (bytes < sizeof(wchar_t) || !isWellFormedString(buffer, bytes)) {
        return false;
    }
    const DWORD last = bytes / sizeof(wchar_t) - 1;
    return last == 0 || buffer[last - 1] == L'\0';
}

} // namespace

CRegKeyImpl::~CRegKeyImpl() {
    Close();
}

DWORD CRegKeyImpl::ReadValue(const wchar_t* name, DWORD* type, void* buffer, DWORD* size) {
    return RegQueryValueExW(key_.get(), name, nullptr, type, static_cast<BYTE*>(buffer), size);
}

DWORD CRegKeyImpl::WriteValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    if (!data || size == 0) {
        return ERROR_INVALID_PARAMETER;
    }
    return RegSetValueExW(key_.get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

DWORD CRegKeyImpl::WriteGuid(const wchar_t* name, const GUID& id) {
    wchar_t text[kGuidTextCapacity];
    if (StringFromGUID2(id, text, kGuidTextCapacity) == 0) {
        return ERROR_INSUFFICIENT_BUFFER;
    }
    return WriteString(name, text, REG_SZ);
}

DWORD CRegKeyImpl::WriteBinary(const wchar_t* name, const void* data, DWORD size) {
    return WriteValue(name, REG_BINARY, data, size);
}

DWORD CRegKeyImpl::WriteDword(const wchar_t* name, DWORD value) {
    return WriteValue(name, REG_DWORD, &value, sizeof value);
}

DWORD CRegKeyImpl::WriteQword(const wchar_t* name, ULONGLONG value) {
    return WriteValue(name, REG_QWORD, &value, sizeof value);
}

DWORD CRegKeyImpl::WriteString(const wchar_t* name, const wchar_t* text, DWORD type) {
    if (!text) {
        return ERROR_INVALID_DATA;
    }
    DWORD bytes = 0;
    if (const DWORD error = toByteSize(std::wcslen(text) + 1, bytes)) {
        return error;
    }
    return WriteValue(name, type, text, bytes);
}

DWORD CRegKeyImpl::WriteMultiString(const wchar_t* name, const wchar_t* list) {
    if (!list) {
        return ERROR_INVALID_DATA;
    }
    DWORD bytes = 0;
    if (const DWORD error = toByteSize(multiStringLength(list), bytes)) {
        return error;
    }
    return WriteValue(name, REG_MULTI_SZ, list, bytes);
}

DWORD CRegKeyImpl::ReadGuid(const wchar_t* name, GUID& id) {
    id = GUID{};
    wchar_t text[kGuidTextCapacity];
    DWORD count = kGuidTextCapacity;
    if (const DWORD error = ReadStringBuffer(name, text, &count)) {
        return error;
    }
    GUID parsed{};
    if (count == 0 || text[0] != L'{' || FAILED(IIDFromString(text, &parsed))) {
        return ERROR_INVALID_DATA;
    }
    id = parsed;
    return ERROR_SUCCESS;
}

DWORD CRegKeyImpl::ReadBinary(const wchar_t* name, void* buffer, DWORD* size) {
    if (!key_ || !size) {
        return ERROR_INVALID_PARAMETER;
    }
    DWORD bytes = *size;
    const DWORD error = ReadOfType(name, {REG_BINARY}, buffer, bytes);
    if (error == ERROR_SUCCESS || error == ERROR_MORE_DATA) {
        *size = bytes;
    }
    return error;
}

DWORD CRegKeyImpl::ReadDword(const wchar_t* name, DWORD& value) {
    if (!key_) {
        return ERROR_INVALID_PARAMETER;
    }
    DWORD data = 0;
    DWORD bytes = sizeof data;
    if (const DWORD error = ReadOfType(name, {REG_DWORD}, &data, bytes)) {
        return error;
    }
    if (bytes != sizeof data) {
        return ERROR_INVALID_DATA;
    }
    value = data;
    return ERROR_SUCCESS;
}

DWORD CRegKeyImpl::ReadQword(const wchar_t* name, ULONGLONG& value) {
    if (!key_) {
        return ERROR_INVALID_PARAMETER;
    }
    ULONGLONG data = 0;
    DWORD bytes = sizeof data;
    if (const DWORD error = ReadOfType(name, {REG_QWORD}, &data, bytes)) {
        return error;
    }
    if (bytes != sizeof data) {
        return ERROR_INVALID_DATA;
    }
    value = data;
    return ERROR_SUCCESS;
}

DWORD CRegKeyImpl::ReadString(const wchar_t* name, std::wstring& text) {
    try {
        DWORD count = 0;
        if (const DWORD error = ReadStringBuffer(name, nullptr, &count)) {
            return error;
        }
        // One character more than needed, so that an empty value still has room for its zero.
        std::vector<wchar_t> buffer(static_cast<size_t>(count) + 1);
        count = static_cast<DWORD>(buffer.size());
        if (const DWORD error = ReadStringBuffer(name, buffer.data(), &count)) {
            return error;
        }
        text.assign(buffer.data(), std::wcslen(buffer.data()));
        return ERROR_SUCCESS;
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

DWORD CRegKeyImpl::ReadStringBuffer(const wchar_t* name, wchar_t* buffer, DWORD* count) {
    if (!key_ || !count) {
        return ERROR_INVALID_PARAMETER;
    }
    const DWORD capacity = *count;
    DWORD bytes = offeredBytes(capacity);
    *count = 0;
    if (const DWORD error = ReadOfType(name, {REG_SZ, REG_EXPAND_SZ}, buffer, bytes)) {
        return error;
    }
    if (buffer && bytes == 0) {
        if (capacity > 0) {
            buffer[0] = L'\0';
        }
        return ERROR_SUCCESS;
    }
    if (buffer && !isWellFormedString(buffer, bytes)) {
        return ERROR_INVALID_DATA;
    }
    *count = charactersFor(bytes);
    return ERROR_SUCCESS;
}

DWORD CRegKeyImpl::ReadMultiString(const wchar_t* name, wchar_t* buffer, DWORD* count) {
    if (!count) {
        return ERROR_INVALID_PARAMETER;
    }
    if (buffer && *count < 2) {
        return ERROR_INSUFFICIENT_BUFFER;
    }
    DWORD bytes = offeredBytes(*count);
    *count = 0;
    if (const DWORD error = ReadOfType(name, {REG_MULTI_SZ}, buffer, bytes)) {
        return error;
    }
    if (buffer && !isWellFormedMultiString(buffer, bytes)) {
        return ERROR_INVALID_DATA;
    }
    *count = charactersFor(bytes);
    return ERROR_SUCCESS;
}

DWORD CRegKeyImpl::GetSecurity(SECURITY_INFORMATION information, PSECURITY_DESCRIPTOR descriptor,
                               DWORD* size) {
    if (!key_ || !size) {
        return ERROR_INVALID_PARAMETER;
    }
    return RegGetKeySecurity(key_.get(), information, descriptor, size);
}

DWORD CRegKeyImpl::SetSecurity(SECURITY_INFORMATION information, PSECURITY_DESCRIPTOR descriptor) {
    if (!key_ || !descriptor) {
        return ERROR_INVALID_PARAMETER;
    }
    return RegSetKeySecurity(key_.get(), information, descriptor);
}

DWORD CRegKeyImpl::Create(HKEY parent, const wchar_t* subKey, const wchar_t* keyClass, DWORD options,
                          REGSAM access, SECURITY_ATTRIBUTES* security, DWORD* disposition) {
    UniqueRegKey created;
    const DWORD error = RegCreateKeyExW(parent, subKey, 0, const_cast<wchar_t*>(keyClass), options, access,
                                        security, created.put(), disposition);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    return Adopt(std::move(created), access);
}

DWORD CRegKeyImpl::Open(HKEY parent, const wchar_t* subKey, REGSAM access) {
    UniqueRegKey opened;
    if (const DWORD error = RegOpenKeyExW(parent, subKey, 0, access, opened.put())) {
        return error;
    }
    return Adopt(std::move(opened), access);
}

DWORD CRegKeyImpl::Close() {
    view_ = 0;
    if (!key_) {
        return ERROR_SUCCESS;
    }
    DWORD deleted = ERROR_SUCCESS;
    if (deleteOnClose_) {
        deleteOnClose_ = false;
        deleted = SHDeleteKeyW(key_.get(), L"");
    }
    const DWORD closed = RegCloseKey(key_.release());
    // A key that could not be removed must not look like a clean close.
    return closed != ERROR_SUCCESS ? closed : deleted;
}

DWORD CRegKeyImpl::Flush() {
    if (!key_) {
        return ERROR_INVALID_PARAMETER;
    }
    return RegFlushKey(key_.get());
}

HKEY CRegKeyImpl::Detach() {
    view_ = 0;
    deleteOnClose_ = false;
    return key_.release();
}

void CRegKeyImpl::Attach(HKEY key) {
    if (key != key_.get()) {
        Close();
        key_.reset(key);
    }
    view_ = 0;
    deleteOnClose_ = false;
}

DWORD CRegKeyImpl::EnumSubKey(DWORD index, wchar_t* name, DWORD* count, FILETIME* lastWrite) {
    if (!key_ || !name || !count) {
        return ERROR_INVALID_PARAMETER;
    }
    return RegEnumKeyExW(key_.get(), index, name, count, nullptr, nullptr, nullptr, lastWrite);
}

DWORD CRegKeyImpl::NotifyChange(bool watchSubtree, DWORD filter, HANDLE event, bool asynchronous) {
    if (!key_) {
        return ERROR_INVALID_PARAMETER;
    }
    return RegNotifyChangeKeyValue(key_.get(), watchSubtree, filter, event, asynchronous);
}

DWORD CRegKeyImpl::DeleteSubKey(const wchar_t* name) {
    if (!key_ || !name) {
        return ERROR_INVALID_PARAMETER;
    }
    if (const RegDeleteKeyExFunction deleteKeyEx = regDeleteKeyEx()) {
        return deleteKeyEx(key_.get(), name, view_, 0);
    }
    return RegDeleteKeyW(key_.get(), name);
}

DWORD CRegKeyImpl::DeleteTree(const wchar_t* name) {
    // A null name would open this key itself and empty it before failing.
    if (!key_ || !name) {
        return ERROR_INVALID_PARAMETER;
    }
    CRegKeyImpl subKey;
    if (const DWORD error = subKey.Open(key_.get(), name, view_ | KEY_READ | KEY_WRITE)) {
        return error;
    }
    for (;;) {
        wchar_t child[kSubKeyNameCapacity];
        DWORD count = kSubKeyNameCapacity;
        if (subKey.EnumSubKey(0, child, &count) != ERROR_SUCCESS) {
            break;
        }
        if (const DWORD error = subKey.DeleteTree(child)) {
            return error;
        }
    }
    subKey.Close();
    return DeleteSubKey(name);
}

DWORD CRegKeyImpl::DeleteValue(const wchar_t* name) {
    if (!key_ || !name) {
        return ERROR_INVALID_PARAMETER;
    }
    return RegDeleteValueW(key_.get(), name);
}

DWORD CRegKeyImpl::GrantEveryoneFullAccess(bool /*recursive*/) {
    // Comes with the access-control helpers; until then the key is left as it is.
    return ERROR_CALL_NOT_IMPLEMENTED;
}

void CRegKeyImpl::SetDeleteOnClose(bool deleteOnClose) {
    deleteOnClose_ = deleteOnClose;
}

bool CRegKeyImpl::GetDeleteOnClose() {
    return deleteOnClose_;
}

DWORD CRegKeyImpl::Adopt(UniqueRegKey key, REGSAM access) {
    const DWORD closed = Close();
    key_ = std::move(key);
    view_ = access & kViewMask;
    deleteOnClose_ = false;
    return closed;
}

// A value of the wrong type is reported as such even when it would not have fitted.
DWORD CRegKeyImpl::ReadOfType(const wchar_t* name, std::initializer_list<DWORD> accepted, void* buffer,
                              DWORD& size) {
    DWORD type = kTypeNotReported;
    const DWORD error = ReadValue(name, &type, buffer, &size);
    if (error != ERROR_SUCCESS && (error != ERROR_MORE_DATA || type == kTypeNotReported)) {
        return error;
    }
    if (std::find(accepted.begin(), accepted.end(), type) == accepted.end()) {
        return ERROR_INVALID_DATA;
    }
    return error;
}

} // namespace Vornix::internal
