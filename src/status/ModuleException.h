#pragma once

#include <stdexcept>
#include <string>

namespace Corvane {

// The one exception of the bus and loader layers, thrown only by constructors that
// cannot complete. It carries a narrow text and nothing else.
class ModuleException : public std::runtime_error {
public:
    explicit ModuleException(const std::string& text) : std::runtime_error(text) {}
    explicit ModuleException(const char* text) : std::runtime_error(text) {}
};

} // namespace Corvane
