#pragma once

#include <vector>

namespace hxconfig {

// The indexes of a ring of log files, oldest first, when the file with index last was written
// last: the indexes after it in ring order, then those up to and including it. A last index
// beyond the ring (left from a larger one) still names the newest file, so it comes after the
// ring; a negative one names none. entries: the number of files in the ring.
std::vector<unsigned> ringOrder(int last, unsigned entries);

} // namespace hxconfig
