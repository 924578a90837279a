#pragma once

#include <windows.h>

namespace PelmoraTests {

// The handles this process holds, counted in the system's handle table: Wine's
// GetProcessHandleCount always answers 0. Fails the test and gives 0 when the table cannot be read.
DWORD openHandleCount();

} // namespace PelmoraTests
