#include "analytics/KeyIndex.h"

#include <new>

#include "analytics/ProcessHashKey.h"

namespace Corvane::Analytics {

KeyIndex::KeyIndex(std::size_t slotCount) : key_(processHashKey()), slots_(emptySlots(slotCount)) {}

KeyIndex::Slots KeyIndex::emptySlots(std::size_t slotCount) {
    // The tag is all the index keeps of a hash, so it addresses at most 2^32 slots.
    if (slotCount > (std::size_t{1} << 32)) {
        throw std::bad_alloc();
    }
    return Slots(slotCount, Slot{0, none});
}

void KeyIndex::moveTo(Slots& slots) noexcept {
    for (const Slot& slot : slots_) {
        if (slot.entry != none) {
            place(slots, slot);
        }
    }
    slots_.swap(slots);
}

void KeyIndex::place(Slots& slots, Slot slot) noexcept {
    const std::size_t mask = slots.size() - 1;
    std::size_t at = slot.tag & mask;
    while (slots[at].entry != none) {
        at = (at + 1) & mask;
    }
    slots[at] = slot;
}

} // namespace Corvane::Analytics
