#include "HresultText.h"

#include <cwchar>
#include <iterator>

#include <winerror.h>

namespace hxreport {

namespace {
struct NamedResult {
    HRESULT result;
    const wchar_t* name;
};

constexpr NamedResult namedResults[] = {
    {S_OK, L"S_OK"},
    {S_FALSE, L"S_FALSE"},
    {E_INVALIDARG, L"E_INVALIDARG"},
    {E_OUTOFMEMORY, L"E_OUTOFMEMORY"},
    {E_NOTIMPL, L"E_NOTIMPL"},
    {E_POINTER, L"E_POINTER"},
    {E_FAIL, L"E_FAIL"},
    {E_UNEXPECTED, L"E_UNEXPECTED"},
    {E_NOINTERFACE, L"E_NOINTERFACE"},
    {E_ACCESSDENIED, L"E_ACCESSDENIED"},
    {REGDB_E_CLASSNOTREG, L"REGDB_E_CLASSNOTREG"},
    {CLASS_E_CLASSNOTAVAILABLE, L"CLASS_E_CLASSNOTAVAILABLE"},
    {CLASS_E_NOAGGREGATION, L"CLASS_E_NOAGGREGATION"},
    {CO_E_NOTINITIALIZED, L"CO_E_NOTINITIALIZED"},
    {CO_E_DLLNOTFOUND, L"CO_E_DLLNOTFOUND"},
    {CO_E_ERRORINDLL, L"CO_E_ERRORINDLL"},
    {RPC_E_CHANGED_MODE, L"RPC_E_CHANGED_MODE"},
    {RPC_E_WRONG_THREAD, L"RPC_E_WRONG_THREAD"},
    {DISP_E_UNKNOWNINTERFACE, L"DISP_E_UNKNOWNINTERFACE"},
    {DISP_E_MEMBERNOTFOUND, L"DISP_E_MEMBERNOTFOUND"},
    {DISP_E_PARAMNOTFOUND, L"DISP_E_PARAMNOTFOUND"},
    {DISP_E_TYPEMISMATCH, L"DISP_E_TYPEMISMATCH"},
    {DISP_E_UNKNOWNNAME, L"DISP_E_UNKNOWNNAME"},
    {DISP_E_NONAMEDARGS, L"DISP_E_NONAMEDARGS"},
    {DISP_E_BADVARTYPE, L"DISP_E_BADVARTYPE"},
    {DISP_E_EXCEPTION, L"DISP_E_EXCEPTION"},
    {DISP_E_OVERFLOW, L"DISP_E_OVERFLOW"},
    {DISP_E_BADINDEX, L"DISP_E_BADINDEX"},
    {DISP_E_UNKNOWNLCID, L"DISP_E_UNKNOWNLCID"},
    {DISP_E_ARRAYISLOCKED, L"DISP_E_ARRAYISLOCKED"},
    {DISP_E_BADPARAMCOUNT, L"DISP_E_BADPARAMCOUNT"},
    {DISP_E_PARAMNOTOPTIONAL, L"DISP_E_PARAMNOTOPTIONAL"},
    {DISP_E_BADCALLEE, L"DISP_E_BADCALLEE"},
    {DISP_E_NOTACOLLECTION, L"DISP_E_NOTACOLLECTION"},
    {DISP_E_DIVBYZERO, L"DISP_E_DIVBYZERO"},
    {DISP_E_BUFFERTOOSMALL, L"DISP_E_BUFFERTOOSMALL"},
};

std::wstring hex(HRESULT result) {
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"0x%08X", static_cast<unsigned>(result));
    return text;
}
} // namespace

std::wstring describeHresult(HRESULT result) {
    for (const NamedResult& named : namedResults) {
        if (named.result == result) {
            return std::wstring(named.name) + L" (" + hex(result) + L")";
        }
    }
    return hex(result);
}

} // namespace hxreport
