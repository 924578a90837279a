#pragma once

#include <utility>

#include <windows.h>
#include <objbase.h>

namespace Vornix {

// Sole owner of one operating-system handle; Traits names the empty value and the release.
template <typename Traits> class UniqueResource {
public:
    using Handle = typename Traits::Handle;

    UniqueResource() = default;
    explicit UniqueResource(Handle handle) : handle_(handle) {}
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    Handle get() const { return handle_; }
    bool valid() const { return handle_ != Traits::empty(); }
    explicit operator bool() const { return valid(); }

    Handle release() {
        return std::exchange(handle_, Traits::empty());
    }

    void reset(Handle handle = Traits::empty()) {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::empty()) {
            Traits::close(old);
        }
    }

    // For functions that hand out a handle through a pointer; releases the one held.
    Handle* put() {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::empty();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { CloseHandle(h); }
};

// CreateFileW and friends fail with INVALID_HANDLE_VALUE rather than null.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle empty() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { CloseHandle(h); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle empty() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { FindClose(h); }
};

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { RegCloseKey(h); }
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { FreeLibrary(h); }
};

// Texts the shell and COM hand out, such as known-folder paths.
struct CoTaskMemStringTraits {
    using Handle = PWSTR;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { CoTaskMemFree(h); }
};

// Ownership of a mutex this thread waited for, given back by ReleaseMutex.
struct MutexOwnershipTraits {
    using Handle = HANDLE;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { ReleaseMutex(h); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueFileHandle = UniqueResource<FileHandleTraits>;
using UniqueFindHandle = UniqueResource<FindHandleTraits>;
using UniqueRegKey = UniqueResource<RegKeyTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;
using UniqueCoTaskMemString = UniqueResource<CoTaskMemStringTraits>;
using UniqueMutexOwnership = UniqueResource<MutexOwnershipTraits>;

} // namespace Vornix
