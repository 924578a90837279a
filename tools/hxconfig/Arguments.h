#pragma once

#include <string>
#include <vector>

namespace hxconfig {

// The words after the command group, e.g. for "reg set K N dword 1": set, K, N, dword, 1.
using Arguments = std::vector<std::wstring>;

// Exit statuses.
constexpr int exitOk = 0;
constexpr int exitFailed = 1;
constexpr int exitUsage = 64;

} // namespace hxconfig
