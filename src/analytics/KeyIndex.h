#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "analytics/SipHash.h"

namespace Corvane::Analytics {

// Finds the attribute map's entries by name in constant time, whatever names a client
// chooses: open addressing over a hash keyed with a secret of the process, so nobody
// outside can make names share a slot. The map's order stays the business of its buckets.
class KeyIndex {
    // The low half of the hash picks the slot and, kept, spares most name comparisons.
    struct Slot {
        std::uint32_t tag;
        std::uint32_t entry;
    };

public:
    static constexpr std::uint32_t none = UINT32_MAX;
    using Slots = std::vector<Slot>;

    explicit KeyIndex(std::size_t slotCount);

    std::uint64_t hash(std::wstring_view key) const { return sipHash13(key_, key); }

    // Where a probe for a key ended: at its entry, or at the free slot that would take it.
    struct Probe {
        std::uint32_t entry;
        std::uint32_t tag;
        std::size_t slot;
    };

    // Looks for the entry stored under the hash for which isKey(entry) holds.
    template <typename IsKey> Probe probe(std::uint64_t hash, IsKey isKey) const {
        const auto tag = static_cast<std::uint32_t>(hash);
        std::size_t at = tag & mask();
        for (; slots_[at].entry != none; at = (at + 1) & mask()) {
            if (slots_[at].tag == tag && isKey(slots_[at].entry)) {
                return Probe{slots_[at].entry, tag, at};
            }
        }
        return Probe{none, tag, at};
    }

    // Stores a new entry where a probe that found none ended, the index unchanged since.
    // The owner keeps the index at most half full, so that a probe ends after a slot or two.
    void add(const Probe& absent, std::uint32_t entry) noexcept {
        slots_[absent.slot] = Slot{absent.tag, entry};
    }

    // Empty slots for a bigger index, taken before the owner changes anything.
    // Throws std::bad_alloc.
    static Slots emptySlots(std::size_t slotCount);

    // Moves every entry into the given empty slots.
    void moveTo(Slots& slots) noexcept;

private:
    std::size_t mask() const { return slots_.size() - 1; }
    static void place(Slots& slots, Slot slot) noexcept;

    SipHashKey key_;
    Slots slots_;
};

} // namespace Corvane::Analytics
