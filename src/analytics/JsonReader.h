#pragma once

#include <cstdlib>
#include <new>

#include <rapidjson/encodings.h>
#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

namespace Corvane::Analytics {

// RapidJSON's own allocator hands a null block to its parse stack when memory runs out;
// this one throws instead, so a shortage ends the parse cleanly.
class ThrowingJsonAllocator {
public:
    static const bool kNeedFree = true;

    void* Malloc(size_t size) {
        if (size == 0) {
            return nullptr;
        }
        return checked(std::malloc(size));
    }
    void* Realloc(void* block, size_t /*oldSize*/, size_t newSize) {
        if (newSize == 0) {
            std::free(block);
            return nullptr;
        }
        return checked(std::realloc(block, newSize));
    }
    static void Free(void* block) { std::free(block); }

private:
    static void* checked(void* block) {
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        return block;
    }
};

using WideJson = rapidjson::UTF16<wchar_t>;

// A SAX reader without a DOM: the iterative mode keeps nesting on the heap, so no
// input can exhaust the caller's stack. It accepts the grammar of the default flags.
using EventJsonReader = rapidjson::GenericReader<WideJson, WideJson, ThrowingJsonAllocator>;
constexpr unsigned eventJsonParseFlags = rapidjson::kParseIterativeFlag;

} // namespace Corvane::Analytics
