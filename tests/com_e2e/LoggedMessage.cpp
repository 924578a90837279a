#include "LoggedMessage.h"

#include <gtest/gtest.h>

namespace PelmoraTests {

void PrintTo(const LoggedMessage& message, std::ostream* out) {
    *out << "{name " << testing::PrintToString(message.name) << ", alias "
         << testing::PrintToString(message.alias) << ", payload " << testing::PrintToString(message.payload)
         << "}";
}

} // namespace PelmoraTests
