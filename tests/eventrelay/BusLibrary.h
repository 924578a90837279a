#pragma once

#include <string>

#include <windows.h>

#include "businterface/BusLibraryInterface.h"

namespace EventRelayTests {

// A bus library loaded from a full path for the lifetime of the object.
class BusLibrary {
public:
    explicit BusLibrary(std::wstring path);
    ~BusLibrary();
    BusLibrary(const BusLibrary&) = delete;
    BusLibrary& operator=(const BusLibrary&) = delete;

    HMODULE module() const { return module_; }
    const std::wstring& path() const { return path_; }
    FARPROC exportOf(const char* name) const;
    template <typename Function> Function exportAs(const char* name) const {
        // Through void*: FARPROC's own signature is a placeholder.
        return reinterpret_cast<Function>(reinterpret_cast<void*>(exportOf(name)));
    }
    Corvane::BusFunctions* createObject(std::uint32_t version = Corvane::BUS_FUNCTIONS_VERSION) const;
    // True when no module of this path is loaded in the process any more.
    bool unload();

private:
    std::wstring path_;
    HMODULE module_;
};

} // namespace EventRelayTests
