#include "analytics/KeyIndex.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Corvane::Analytics::KeyIndex;

// Entries stored under chosen hashes; entry i is "the key" i, so isKey compares numbers.
class ChosenHashes {
public:
    explicit ChosenHashes(std::size_t slotCount) : index_(slotCount) {}

    void add(std::uint64_t hash) {
        const auto entry = static_cast<std::uint32_t>(hashes_.size());
        const KeyIndex::Probe probe = probeFor(hash, entry);
        ASSERT_EQ(KeyIndex::none, probe.entry) << "entry " << entry << " found before it was added";
        index_.add(probe, entry);
        hashes_.push_back(hash);
    }

    void grow(std::size_t slotCount) {
        KeyIndex::Slots slots = KeyIndex::emptySlots(slotCount);
        index_.moveTo(slots);
    }

    void expectAllFound() const {
        for (std::uint32_t entry = 0; entry < hashes_.size(); ++entry) {
            EXPECT_EQ(entry, probeFor(hashes_[entry], entry).entry) << "entry " << entry;
        }
    }

    std::uint32_t find(std::uint64_t hash, std::uint32_t entry) const { return probeFor(hash, entry).entry; }

private:
    KeyIndex::Probe probeFor(std::uint64_t hash, std::uint32_t entry) const {
        return index_.probe(hash, [entry](std::uint32_t candidate) { return candidate == entry; });
    }

    KeyIndex index_;
    std::vector<std::uint64_t> hashes_;
};

TEST(KeyIndex, FindsEntriesThatShareSlotsOrTagsByTheirKey) {
    const struct {
        const char* what;
        std::vector<std::uint64_t> hashes;
    } cases[] = {
        // Only the high half differs: one tag, told apart by the key alone.
        {"one tag", {0x1'0000'0005, 0x2'0000'0005, 0x3'0000'0005, 0x4'0000'0005, 0x5'0000'0005}},
        // Different tags, one first slot of 16.
        {"one slot", {0x05, 0x15, 0x25, 0x35, 0x45, 0x55}},
        // A run from the last slot on wraps to the first.
        {"wrapping", {0x0f, 0x1f, 0x2f, 0x3f, 0x00, 0x01}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ChosenHashes index(16);
        for (std::uint64_t hash : c.hashes) {
            index.add(hash);
        }
        index.expectAllFound();
        // Same hash, other key; and a hash nothing was stored under.
        EXPECT_EQ(KeyIndex::none, index.find(c.hashes[0], 99));
        EXPECT_EQ(KeyIndex::none, index.find(0x0a, 0));
    }
}

TEST(KeyIndex, MovingToMoreSlotsKeepsEveryEntry) {
    ChosenHashes index(16);
    for (std::uint64_t i = 0; i < 8; ++i) {
        index.add(i * 0x9E3779B97F4A7C15ULL);
    }
    index.grow(128);
    for (std::uint64_t i = 8; i < 64; ++i) {
        index.add(i * 0x9E3779B97F4A7C15ULL);
    }
    index.expectAllFound();
}

} // namespace
