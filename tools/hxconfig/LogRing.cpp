#include "LogRing.h"

namespace hxconfig {

std::vector<unsigned> ringOrder(int last, unsigned entries) {
    std::vector<unsigned> order;
    const bool inRing = last >= 0 && static_cast<unsigned>(last) < entries;
    const unsigned first = inRing ? static_cast<unsigned>(last) + 1 : 0;
    for (unsigned step = 0; step < entries; ++step) {
        order.push_back((first + step) % entries);
    }
    if (last >= 0 && !inRing) {
        order.push_back(static_cast<unsigned>(last));
    }
    return order;
}

} // namespace hxconfig
