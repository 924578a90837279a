#pragma once

#include <string>

namespace EventRelay {

// The common application-data folder (FOLDERID_ProgramData). The shell is loaded only for
// the lookup: importing shell32 and ole32 would load them, at several milliseconds, with
// every load of this library, though most hosts name their log through the environment.
class ProgramDataFolder {
public:
    // Empty when the folder cannot be found.
    static std::wstring path();
};

} // namespace EventRelay
