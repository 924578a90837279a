#include "utils/ScrambledRegistryBlob.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "utils/Md5.h"
#include "utils/Scrambler.h"

namespace Vornix {

namespace {
constexpr std::uint8_t magic[4] = {'H', 'X', 'R', 'G'};
constexpr std::uint32_t version = 1;
constexpr std::size_t lengthOffset = 8;
constexpr std::size_t typeOffset = 12;
constexpr std::size_t digestOffset = 16;

void put32(std::vector<std::uint8_t>& blob, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        blob[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t get32(const std::vector<std::uint8_t>& blob, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | blob[offset + i];
    }
    return value;
}

// The digest is taken over the blob with its own field zeroed.
DWORD digestOf(std::vector<std::uint8_t> blob, Md5Digest& digest) {
    std::fill(blob.begin() + digestOffset, blob.begin() + digestOffset + digest.size(), 0);
    return md5(blob.data(), blob.size(), digest);
}
} // namespace

DWORD ScrambledRegistryBlob::Seal(DWORD type, const std::string& payload, std::vector<std::uint8_t>& blob) {
    try {
        std::vector<std::uint8_t> sealed(HEADER_SIZE + payload.size(), 0);
        std::memcpy(sealed.data(), magic, sizeof magic);
        put32(sealed, 4, version);
        put32(sealed, lengthOffset, static_cast<std::uint32_t>(payload.size()));
        put32(sealed, typeOffset, type);
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
        if (blob.size() < HEADER_SIZE || std::memcmp(blob.data(), magic, sizeof magic) != 0 ||
            get32(blob, lengthOffset) != blob.size() - HEADER_SIZE) {
            return ERROR_INVALID_DATA;
        }
        Md5Digest digest;
        if (digestOf(blob, digest) != ERROR_SUCCESS ||
            !std::equal(digest.begin(), digest.end(), blob.begin() + digestOffset)) {
            return ERROR_INVALID_DATA;
        }
        type = get32(blob, typeOffset);
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
