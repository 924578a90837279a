#pragma once

#include <memory>
#include <string>

#include <windows.h>

#include "utils/CRegKeyImpl.h"

namespace Vornix {

// The registry key object handed around the product: every call goes unchanged to an
// implementation, which a variant can replace to store values differently. Results are
// Windows error numbers; only construction can throw (std::bad_alloc for the default
// implementation). Destruction closes the key.
class CRegKey {
  public:
    CRegKey();
    // An empty pointer gives the plain implementation.
    explicit CRegKey(std::shared_ptr<internal::CRegKeyImpl> impl);
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    virtual ~CRegKey();

    virtual DWORD ReadValue(const wchar_t* name, DWORD* type, void* buffer, DWORD* size);
    virtual DWORD WriteValue(const wchar_t* name, DWORD type, const void* data, DWORD size);
    virtual DWORD WriteGuid(const wchar_t* name, const GUID& id);
    virtual DWORD WriteBinary(const wchar_t* name, const void* data, DWORD size);
    virtual DWORD WriteDword(const wchar_t* name, DWORD value);
    virtual DWORD WriteQword(const wchar_t* name, ULONGLONG value);
    virtual DWORD WriteString(const wchar_t* name, const wchar_t* text, DWORD type = REG_SZ);
    virtual DWORD WriteMultiString(const wchar_t* name, const wchar_t* list);
    virtual DWORD ReadGuid(const wchar_t* name, GUID& id);
    virtual DWORD ReadBinary(const wchar_t* name, void* buffer, DWORD* size);
    virtual DWORD ReadDword(const wchar_t* name, DWORD& value);
    virtual DWORD ReadQword(const wchar_t* name, ULONGLONG& value);
    virtual DWORD ReadString(const wchar_t* name, std::wstring& text);
    virtual DWORD ReadStringBuffer(const wchar_t* name, wchar_t* buffer, DWORD* count);
    virtual DWORD ReadMultiString(const wchar_t* name, wchar_t* buffer, DWORD* count);
    virtual DWORD GetSecurity(SECURITY_INFORMATION information, PSECURITY_DESCRIPTOR descriptor, DWORD* size);
    virtual DWORD SetSecurity(SECURITY_INFORMATION information, PSECURITY_DESCRIPTOR descriptor);
    virtual DWORD Create(HKEY parent, const wchar_t* subKey, const wchar_t* keyClass = nullptr,
                         DWORD options = REG_OPTION_NON_VOLATILE, REGSAM access = KEY_READ | KEY_WRITE,
                         SECURITY_ATTRIBUTES* security = nullptr, DWORD* disposition = nullptr);
    virtual DWORD Open(HKEY parent, const wchar_t* subKey, REGSAM access = KEY_READ | KEY_WRITE);
    virtual DWORD Flush();
    virtual DWORD EnumSubKey(DWORD index, wchar_t* name, DWORD* count, FILETIME* lastWrite = nullptr);
    virtual DWORD NotifyChange(bool watchSubtree, DWORD filter, HANDLE event, bool asynchronous);
    virtual DWORD DeleteSubKey(const wchar_t* name);
    virtual DWORD DeleteTree(const wchar_t* name);
    virtual DWORD DeleteValue(const wchar_t* name);
    virtual DWORD GrantEveryoneFullAccess(bool recursive);

    DWORD Close();
    HKEY Detach();
    void Attach(HKEY key);

  private:
    std::shared_ptr<internal::CRegKeyImpl> impl_;
};

} // namespace Vornix
