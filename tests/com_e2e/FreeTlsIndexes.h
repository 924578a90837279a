#pragma once

namespace PelmoraTests {

// How many TLS indexes the process could still take: each is taken until none is left, then
// all are given back.
int freeTlsIndexes();

} // namespace PelmoraTests
