#pragma once

#include <windows.h>

namespace EventRelay {

// Sole owner of a reference to a loaded library.
class UniqueModule {
public:
    explicit UniqueModule(HMODULE module) : module_(module) {}
    ~UniqueModule() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    UniqueModule(const UniqueModule&) = delete;
    UniqueModule& operator=(const UniqueModule&) = delete;

    template <typename Function> Function function(const char* name) const {
        // Through void*: FARPROC's own signature is a placeholder.
        return module_ != nullptr
                   ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
                   : nullptr;
    }

private:
    HMODULE module_;
};

} // namespace EventRelay
