#include "utils/ScrambledRegistryBlob.h"

#include <algorithm>
#include <new>

#include "utils/Md5.h"
#include "utils/ScrambledHeaderFields.h"
#include "utils/Scrambler.h"

namespace Vornix {

namespace {
using Fields = ScrambledHeaderFields;

constexpr std::uint32_t version = 1;
constexpr std::size_t versionOffset = 4;
constexpr std::size_t lengthOffset = 8;
constexpr std::size_t typeOffset = 12;
constexpr std::size_t digestOffset = 16;

// The digest is taken over the blob with its own field zeroed.
DWORD digestOf(std::vector<std::uint8_t> blob, Md5Digest& digest) {
    std::fill(blob.begin() + digestOffset, blob.begin() + digestOffset + digest.size(), 0);
    return md5(blob.data(), blob.size(), digest);
}
} // namespace

DWORD ScrambledRegistryBlob::Seal(DWORD type, const std::string& payload, std::vector<std::uint8_t>& blob) {
    try {
        std::vector<std::uint8_t> sealed(HEADER_SIZE + payload.size(), 0);
        Fields::putMagic(sealed.data());
        Fields::put32(sealed.data() + versionOffset, version);
        Fields::put32(sealed.data() + lengthOffset, static_cast<std::uint32_t>(payload.size()));
        Fields::put32(sealed.data() + typeOffset, type);
        const auto* plain = reinterpret_cast<const std::uint8_t*>(payload.data());
        if (Scrambler::scramble(Scrambler::REGISTRY_KEY, 1, plain, payload.size(), sealed.data() + HEADER_SIZE) !=
            ERROR_SUCCESS) {
            return ERROR_ENCRYPTION_FAILED;
        }
        Md5Digest digest;
        if (const DWORD error = digestOf(sealed, digest)) {
            return error;
        }
        std::copy(digest.begin(), digest.end(), sealed.begin() + digestOffset);
        blob.swap(sealed);
        return ERROR_SUCCESS;
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

DWORD ScrambledRegistryBlob::Open(const std::vector<std::uint8_t>& blob, DWORD& type, std::string* payload) {
    try {
        if (blob.size() < HEADER_SIZE || !Fields::hasMagic(blob.data()) ||
            Fields::get32(blob.data() + lengthOffset) != blob.size() - HEADER_SIZE) {
            return ERROR_INVALID_DATA;
        }
        Md5Digest digest;
        if (digestOf(blob, digest) != ERROR_SUCCESS ||
            !std::equal(digest.begin(), digest.end(), blob.begin() + digestOffset)) {
            return ERROR_INVALID_DATA;
        }
        type = Fields::get32(blob.data() + typeOffset);
        if (payload == nullptr) {
            return ERROR_SUCCESS;
        }
        std::string plain(blob.size() - HEADER_SIZE, '\0');
        if (Scrambler::descramble(Scrambler::REGISTRY_KEY, 1, blob.data() + HEADER_SIZE, plain.size(),
                                  reinterpret_cast<std::uint8_t*>(plain.data())) != ERROR_SUCCESS) {
            return ERROR_DECRYPTION_FAILED;
        }
        payload->swap(plain);
        return ERROR_SUCCESS;
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

} // namespace Vornix
