#pragma once

#include <ostream>
#include <string>

namespace PelmoraTests {

// One message as the development bus wrote it to its message log.
struct LoggedMessage {
    std::wstring name;
    std::wstring alias;
    std::wstring payload;

    bool operator==(const LoggedMessage& other) const {
        return name == other.name && alias == other.alias && payload == other.payload;
    }
    bool operator!=(const LoggedMessage& other) const { return !(*this == other); }
};

// Lets a failing expectation show the message instead of its bytes.
void PrintTo(const LoggedMessage& message, std::ostream* out);

} // namespace PelmoraTests
