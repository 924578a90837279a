#pragma once

#include <objbase.h>

namespace Vornix {

// The calling thread's membership of a COM apartment, for one scope.
class ComApartment {
public:
    explicit ComApartment(DWORD model) noexcept : result_(CoInitializeEx(nullptr, model)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }

    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

} // namespace Vornix
