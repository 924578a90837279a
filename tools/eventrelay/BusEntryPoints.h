#pragma once

#include "businterface/BusLibraryInterface.h"

namespace EventRelay {

// The process-wide function table. Its entries forward to the relay and turn any exception
// into a status (or a refused subscription), since nothing may unwind into the caller.
class BusEntryPoints {
public:
    static Corvane::BusFunctions* table();
};

} // namespace EventRelay
