#include "utils/Md5.h"

#include <algorithm>
#include <climits>
#include <new>
#include <vector>

#include "utils/BcryptHandles.h"

namespace Vornix {

namespace {
using RtlNtStatusToDosErrorFunction = ULONG(WINAPI*)(NTSTATUS);

// ntdll is in every process, but mingw links no import library for it.
DWORD errorFromStatus(NTSTATUS status) {
    static const auto convert = reinterpret_cast<RtlNtStatusToDosErrorFunction>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlNtStatusToDosError")));
    return convert != nullptr ? convert(status) : ERROR_INTERNAL_ERROR;
}

// CNG before Windows 8 wants the caller to provide the hash object's memory.
NTSTATUS hashObjectSize(BCRYPT_ALG_HANDLE algorithm, ULONG& size) {
    ULONG written = 0;
    return BCryptGetProperty(algorithm, BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&size), sizeof(size),
                             &written, 0);
}

// BCryptHashData takes at most ULONG bytes at a time.
NTSTATUS hashData(BCRYPT_HASH_HANDLE hash, const void* data, std::size_t size) {
    auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));
    while (size > 0) {
        const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(size, ULONG_MAX));
        const NTSTATUS status = BCryptHashData(hash, bytes, chunk, 0);
        if (!BCRYPT_SUCCESS(status)) {
            return status;
        }
        bytes += chunk;
        size -= chunk;
    }
    return 0;
}

NTSTATUS openMd5(UniqueBcryptAlgorithm& algorithm, ULONG& objectSize) {
    const NTSTATUS status = BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_MD5_ALGORITHM, nullptr, 0);
    return BCRYPT_SUCCESS(status) ? hashObjectSize(algorithm.get(), objectSize) : status;
}

NTSTATUS computeMd5(const void* data, std::size_t size, Md5Digest& digest) {
    UniqueBcryptAlgorithm algorithm;
    ULONG objectSize = 0;
    NTSTATUS status = openMd5(algorithm, objectSize);
    if (!BCRYPT_SUCCESS(status)) {
        return status;
    }
    std::vector<UCHAR> hashObject(objectSize);
    UniqueBcryptHash hash; // released before the memory it lives in
    status = BCryptCreateHash(algorithm.get(), hash.put(), hashObject.data(), objectSize, nullptr, 0, 0);
    if (BCRYPT_SUCCESS(status)) {
        status = hashData(hash.get(), data, size);
    }
    Md5Digest result{};
    if (BCRYPT_SUCCESS(status)) {
        status = BCryptFinishHash(hash.get(), result.data(), static_cast<ULONG>(result.size()), 0);
    }
    if (BCRYPT_SUCCESS(status)) {
        digest = result;
    }
    return status;
}
} // namespace

DWORD md5(const void* data, std::size_t size, Md5Digest& digest) {
    if (data == nullptr && size != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    try {
        const NTSTATUS status = computeMd5(data, size, digest);
        return BCRYPT_SUCCESS(status) ? ERROR_SUCCESS : errorFromStatus(status);
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

} // namespace Vornix
