#include "utils/CRegKey.h"

#include <utility>

namespace Vornix {

CRegKey::CRegKey() : impl_(std::make_shared<internal::CRegKeyImpl>()) {}

CRegKey::CRegKey(std::shared_ptr<internal::CRegKeyImpl> impl)
    : impl_(impl ? std::move(impl) : std::make_shared<internal::CRegKeyImpl>()) {}

CRegKey::~CRegKey() {
    impl_->Close();
}

DWORD CRegKey::ReadValue(const wchar_t* name, DWORD* type, void* buffer, DWORD* size) {
    return impl_->ReadValue(name, type, buffer, size);
}

DWORD CRegKey::WriteValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    return impl_->WriteValue(name, type, data, size);
}

DWORD CRegKey::WriteGuid(const wchar_t* name, const GUID& id) {
    return impl_->WriteGuid(name, id);
}

DWORD CRegKey::WriteBinary(const wchar_t* name, const void* data, DWORD size) {
    return impl_->WriteBinary(name, data, size);
}

DWORD CRegKey::WriteDword(const wchar_t* name, DWORD value) {
    return impl_->WriteDword(name, value);
}

DWORD CRegKey::WriteQword(const wchar_t* name, ULONGLONG value) {
    return impl_->WriteQword(name, value);
}

DWORD CRegKey::WriteString(const wchar_t* name, const wchar_t* text, DWORD type) {
    return impl_->WriteString(name, text, type);
}

DWORD CRegKey::WriteMultiString(const wchar_t* name, const wchar_t* list) {
    return impl_->WriteMultiString(name, list);
}

DWORD CRegKey::ReadGuid(const wchar_t* name, GUID& id) {
    return impl_->ReadGuid(name, id);
}

DWORD CRegKey::ReadBinary(const wchar_t* name, void* buffer, DWORD* size) {
    return impl_->ReadBinary(name, buffer, size);
}

DWORD CRegKey::ReadDword(const wchar_t* name, DWORD& value) {
    return impl_->ReadDword(name, value);
}

DWORD CRegKey::ReadQword(const wchar_t* name, ULONGLONG& value) {
    return impl_->ReadQword(name, value);
}

DWORD CRegKey::ReadString(const wchar_t* name, std::wstring& text) {
    return impl_->ReadString(name, text);
}

DWORD CRegKey::ReadStringBuffer(const wchar_t* name, wchar_t* buffer, DWORD* count) {
    return impl_->ReadStringBuffer(name, buffer, count);
}

DWORD CRegKey::ReadMultiString(const wchar_t* name, wchar_t* buffer, DWORD* count) {
    return impl_->ReadMultiString(name, buffer, count);
}

DWORD CRegKey::GetSecurity(SECURITY_INFORMATION information, PSECURITY_DESCRIPTOR descriptor, DWORD* size) {
    return impl_->GetSecurity(information, descriptor, size);
}

DWORD CRegKey::SetSecurity(SECURITY_INFORMATION information, PSECURITY_DESCRIPTOR descriptor) {
    return impl_->SetSecurity(information, descriptor);
}

DWORD CRegKey::Create(HKEY parent, const wchar_t* subKey, const wchar_t* keyClass, DWORD options,
                      REGSAM access, SECURITY_ATTRIBUTES* security, DWORD* disposition) {
    return impl_->Create(parent, subKey, keyClass, options, access, security, disposition);
}

DWORD CRegKey::Open(HKEY parent, const wchar_t* subKey, REGSAM access) {
    return impl_->Open(parent, subKey, access);
}

DWORD CRegKey::Flush() {
    return impl_->Flush();
}

DWORD CRegKey::EnumSubKey(DWORD index, wchar_t* name, DWORD* count, FILETIME* lastWrite) {
    return impl_->EnumSubKey(index, name, count, lastWrite);
}

DWORD CRegKey::NotifyChange(bool watchSubtree, DWORD filter, HANDLE event, bool asynchronous) {
    return impl_->NotifyChange(watchSubtree, filter, event, asynchronous);
}

DWORD CRegKey::DeleteSubKey(const wchar_t* name) {
    return impl_->DeleteSubKey(name);
}

DWORD CRegKey::DeleteTree(const wchar_t* name) {
    return impl_->DeleteTree(name);
}

DWORD CRegKey::DeleteValue(const wchar_t* name) {
    return impl_->DeleteValue(name);
}

DWORD CRegKey::GrantEveryoneFullAccess(bool recursive) {
    return impl_->GrantEveryoneFullAccess(recursive);
}

DWORD CRegKey::Close() {
    return impl_->Close();
}

HKEY CRegKey::Detach() {
    return impl_->Detach();
}

void CRegKey::Attach(HKEY key) {
    impl_->Attach(key);
}

} // namespace Vornix
