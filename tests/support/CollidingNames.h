#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Member names built to defeat the attribute map's buckets: all 2^pieces names share the low
// 32 bits of their 64-bit FNV-1a hash, so they fall into one bucket at any bucket count the
// map reaches. The same seed gives the same names.
std::vector<std::wstring> fnvLowBitCollidingNames(unsigned pieces, std::uint64_t seed);

// Length of every name fnvLowBitCollidingNames(pieces, ...) gives.
std::size_t fnvLowBitCollidingNameLength(unsigned pieces);

// Distinct random names of the given length, as a baseline for the colliding ones.
std::vector<std::wstring> randomNames(std::size_t count, std::size_t length, std::uint64_t seed);
