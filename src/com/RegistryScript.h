#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace Corvane::Com {

// A registry script as read, before anything touches the registry.
struct RegistryScript {
    enum class Removal {
        Normal,      // created; removed when nothing foreign is left below it
        NoRemove,    // created; never removed
        ForceRemove, // removed with all below it before being created, and on unregistration
    };

    struct Value {
        std::wstring name; // empty: the default value
        std::wstring text;
    };

    struct Key {
        std::wstring name;
        Removal removal = Removal::Normal;
        std::vector<Value> values;
        std::vector<Key> subkeys;
    };

    struct Root {
        HKEY key = nullptr;
        std::vector<Key> keys;
    };

    std::vector<Root> roots;
};

} // namespace Corvane::Com
