#pragma once

#include <string>

namespace hxconfig {

// log mechanism file|trace|show: the scrambled "Logging Mechanism" that makes the product
// write log files (1) or trace events (anything else).
int runLogMechanismCommand(const std::wstring& word);

} // namespace hxconfig
