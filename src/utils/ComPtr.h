#pragma once

#include <utility>

#include <unknwn.h>

namespace Corvane::Com {

// Sole owner of one reference to a COM object.
template <typename T> class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }

    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(other.detach()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = other.detach();
        }
        return *this;
    }

    T* get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // For functions that hand out a reference through a pointer; releases the one held.
    T** put() {
        reset();
        return &pointer_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    T* detach() { return std::exchange(pointer_, nullptr); }

    void reset() {
        if (T* old = std::exchange(pointer_, nullptr)) {
            old->Release();
        }
    }

private:
    T* pointer_ = nullptr;
};

} // namespace Corvane::Com
