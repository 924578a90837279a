#include "FreeTlsIndexes.h"

#include <vector>

#include <windows.h>

namespace PelmoraTests {

int freeTlsIndexes() {
    std::vector<DWORD> taken;
    taken.reserve(2048);
    for (DWORD index = TlsAlloc(); index != TLS_OUT_OF_INDEXES; index = TlsAlloc()) {
        taken.push_back(index);
    }
    for (DWORD index : taken) {
        TlsFree(index);
    }
    return static_cast<int>(taken.size());
}

} // namespace PelmoraTests
