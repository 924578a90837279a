#include "BusLibrary.h"

#include <stdexcept>
#include <utility>

namespace EventRelayTests {

BusLibrary::BusLibrary(std::wstring path) : path_(std::move(path)), module_(LoadLibraryW(path_.c_str())) {
    if (module_ == nullptr) {
        throw std::runtime_error("cannot load a bus library from the build tree");
    }
}

BusLibrary::~BusLibrary() {
    unload();
}

FARPROC BusLibrary::exportOf(const char* name) const {
    return GetProcAddress(module_, name);
}

Corvane::BusFunctions* BusLibrary::createObject(std::uint32_t version) const {
    const auto create = exportAs<Corvane::BusCreateObjectFn>(Corvane::BUS_EXPORT_CREATE_OBJECT);
    return create != nullptr ? create(version) : nullptr;
}

bool BusLibrary::unload() {
    if (module_ != nullptr) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
    return GetModuleHandleW(path_.c_str()) == nullptr;
}

} // namespace EventRelayTests
