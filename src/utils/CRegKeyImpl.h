#pragma once

#include <initializer_list>
#include <string>

#include <windows.h>

#include "utils/UniqueResource.h"

namespace Vornix::internal {

// One open registry key with typed reads and writes. Every typed operation goes through
// ReadValue and WriteValue, so a derived class can change how values are stored by
// overriding just those two. Results are Windows error numbers (0 = success); nothing
// throws. Value names may be null (the key's default value).
class CRegKeyImpl {
  public:
    CRegKeyImpl() = default;
    CRegKeyImpl(const CRegKeyImpl&) = delete;
    CRegKeyImpl& operator=(const CRegKeyImpl&) = delete;

    virtual ~CRegKeyImpl();

    // RegQueryValueExW semantics: a null buffer asks for the size, a small one gives 234.
    virtual DWORD ReadValue(const wchar_t* name, DWORD* type, void* buffer, DWORD* size);
    virtual DWORD WriteValue(const wchar_t* name, DWORD type, const void* data, DWORD size);

    virtual DWORD WriteGuid(const wchar_t* name, const GUID& id);
    virtual DWORD WriteBinary(const wchar_t* name, const void* data, DWORD size);
    virtual DWORD WriteDword(const wchar_t* name, DWORD value);
    virtual DWORD WriteQword(const wchar_t* name, ULONGLONG value);
    virtual DWORD WriteString(const wchar_t* name, const wchar_t* text, DWORD type = REG_SZ);
    // list: strings one after another, each with its zero, ended by an empty string.
    virtual DWORD WriteMultiString(const wchar_t* name, const wchar_t* list);

    // id is zeroed first; the text must be a braced identifier.
    virtual DWORD ReadGuid(const wchar_t* name, GUID& id);
    virtual DWORD ReadBinary(const wchar_t* name, void* buffer, DWORD* size);
    virtual DWORD ReadDword(const wchar_t* name, DWORD& value);
    virtual DWORD ReadQword(const wchar_t* name, ULONGLONG& value);
    virtual DWORD ReadString(const wchar_t* name, std::wstring& text);
    // count: in the buffer's capacity, out the characters read with the zero (0 for an
    // empty value). Without a buffer, count tells how many characters a read needs.
    virtual DWORD ReadStringBuffer(const wchar_t* name, wchar_t* buffer, DWORD* count);
    // count as for ReadStringBuffer; a buffer must hold at least two characters.
    virtual DWORD ReadMultiString(const wchar_t* name, wchar_t* buffer, DWORD* count);

    virtual DWORD GetSecurity(SECURITY_INFORMATION information, PSECURITY_DESCRIPTOR descriptor, DWORD* size);
    virtual DWORD SetSecurity(SECURITY_INFORMATION information, PSECURITY_DESCRIPTOR descriptor);

    // Both replace the key held (closing it) only when the new one opened; they return
    // the result of that close. disposition is written even when creation fails.
    virtual DWORD Create(HKEY parent, const wchar_t* subKey, const wchar_t* keyClass = nullptr,
                         DWORD options = REG_OPTION_NON_VOLATILE, REGSAM access = KEY_READ | KEY_WRITE,
                         SECURITY_ATTRIBUTES* security = nullptr, DWORD* disposition = nullptr);
    virtual DWORD Open(HKEY parent, const wchar_t* subKey, REGSAM access = KEY_READ | KEY_WRITE);
    virtual DWORD Close();
    virtual DWORD Flush();

    // The caller owns the returned handle; the object holds no key afterwards.
    virtual HKEY Detach();
    // Takes ownership of key; a different key held before is closed first.
    virtual void Attach(HKEY key);

    virtual DWORD EnumSubKey(DWORD index, wchar_t* name, DWORD* count, FILETIME* lastWrite = nullptr);
    virtual DWORD NotifyChange(bool watchSubtree, DWORD filter, HANDLE event, bool asynchronous);

    // Removes a sub-key without sub-keys of its own, in the registry view the key was opened in.
    virtual DWORD DeleteSubKey(const wchar_t* name);
    // Removes a sub-key with everything below it, depth first.
    virtual DWORD DeleteTree(const wchar_t* name);
    virtual DWORD DeleteValue(const wchar_t* name);

    virtual DWORD GrantEveryoneFullAccess(bool recursive);

    // When set, Close removes the key with everything in it before closing the handle.
    virtual void SetDeleteOnClose(bool deleteOnClose);
    virtual bool GetDeleteOnClose();

  protected:
    HKEY Key() const { return key_.get(); }

  private:
    DWORD Adopt(UniqueRegKey key, REGSAM access);
    DWORD ReadOfType(const wchar_t* name, std::initializer_list<DWORD> accepted, void* buffer, DWORD& size);

    UniqueRegKey key_;
    DWORD view_ = 0;
    bool deleteOnClose_ = false;
};

} // namespace Vornix::internal
