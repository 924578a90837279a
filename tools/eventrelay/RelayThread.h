#pragma once

namespace EventRelay {

class Relay;

// Starts the thread that runs the relay. The thread holds a reference to this library
// while it runs and drops it as its very last act, so the library cannot be unloaded
// under it and nobody ever has to join it (least of all DllMain, under the loader lock).
class RelayThread {
public:
    static bool start(Relay& relay);
};

} // namespace EventRelay
