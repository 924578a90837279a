#pragma once

#include <string>

namespace PelmoraBench {

// A file in the bench's own folder.
std::wstring besideExecutable(const wchar_t* name);

// The floor of one report's bus work, done directly on the bus library at libraryPath: load
// it, resolve the four exports, get the function table, acquire a handle, publish one message
// with a header from Message::create, release the handle, unload. False when any step fails.
bool publishDirectly(const std::wstring& libraryPath, const std::wstring& name, const std::wstring& alias,
                     const std::wstring& payload);

} // namespace PelmoraBench
