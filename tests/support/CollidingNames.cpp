#include "support/CollidingNames.h"

#include <algorithm>
#include <random>
#include <unordered_set>
#include <utility>

namespace {

constexpr std::size_t pieceLength = 6;
constexpr std::uint32_t fnvOffsetBasisLow = 0x84222325u;
constexpr std::uint32_t fnvPrimeLow = 0x1b3u;
constexpr wchar_t alphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// The low 32 bits of an FNV-1a state depend only on the low 32 bits before it, so the search
// can run on 32-bit states: UTF-16 code units, low byte first.
std::uint32_t advanceLow(std::uint32_t state, const std::wstring& text) {
    for (wchar_t unit : text) {
        const auto code = static_cast<std::uint16_t>(unit);
        state = (state ^ (code & 0xFFu)) * fnvPrimeLow;
        state = (state ^ (code >> 8)) * fnvPrimeLow;
    }
    return state;
}

std::wstring randomText(std::mt19937_64& random, std::size_t length) {
    std::uniform_int_distribution<std::size_t> pick(0, std::size(alphabet) - 2);
    std::wstring text(length, L' ');
    for (wchar_t& c : text) {
        c = alphabet[pick(random)];
    }
    return text;
}

std::wstring pieceOf(std::uint64_t bits) {
    std::wstring piece(pieceLength, L' ');
    for (wchar_t& c : piece) {
        c = alphabet[bits % (std::size(alphabet) - 1)];
        bits /= std::size(alphabet) - 1;
    }
    return piece;
}

// Birthday search: two different pieces that lead from the state to the same low 32 bits.
// Sorting candidates by their outcome beats a hash table of them several times over.
std::pair<std::wstring, std::wstring> collidingPiecePair(std::uint32_t state, std::mt19937_64& random) {
    for (std::size_t count = 1 << 17;; count *= 2) {
        std::vector<std::uint64_t> bits(count);
        std::vector<std::uint64_t> outcomes(count); // outcome in the high half, candidate below
        for (std::size_t i = 0; i < count; ++i) {
            bits[i] = random();
            outcomes[i] = std::uint64_t{advanceLow(state, pieceOf(bits[i]))} << 32 | i;
        }
        std::sort(outcomes.begin(), outcomes.end());
        for (std::size_t i = 1; i < count; ++i) {
            if (outcomes[i] >> 32 == outcomes[i - 1] >> 32) {
                std::wstring first = pieceOf(bits[outcomes[i - 1] & 0xFFFFFFFFu]);
                std::wstring second = pieceOf(bits[outcomes[i] & 0xFFFFFFFFu]);
                if (first != second) {
                    return {std::move(first), std::move(second)};
                }
            }
        }
    }
}

} // namespace

std::vector<std::wstring> fnvLowBitCollidingNames(unsigned pieces, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    std::uint32_t state = fnvOffsetBasisLow;
    for (unsigned i = 0; i < pieces; ++i) {
        pairs.push_back(collidingPiecePair(state, random));
        state = advanceLow(state, pairs.back().first);
    }
    std::vector<std::wstring> names;
    names.reserve(std::size_t{1} << pieces);
    for (std::size_t choice = 0; choice < (std::size_t{1} << pieces); ++choice) {
        std::wstring name;
        for (unsigned i = 0; i < pieces; ++i) {
            name += (choice >> i & 1) != 0 ? pairs[i].second : pairs[i].first;
        }
        names.push_back(std::move(name));
    }
    return names;
}

std::size_t fnvLowBitCollidingNameLength(unsigned pieces) {
    return pieces * pieceLength;
}

std::vector<std::wstring> randomNames(std::size_t count, std::size_t length, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::unordered_set<std::wstring> seen;
    std::vector<std::wstring> names;
    names.reserve(count);
    while (names.size() < count) {
        std::wstring name = randomText(random, length);
        if (seen.insert(name).second) {
            names.push_back(std::move(name));
        }
    }
    return names;
}
