#pragma once

#include "com/RegistryScript.h"

namespace Corvane::Com {

// Writes a registry script into the registry or takes it out again. Results are HRESULTs of
// the first registry call that failed; keys missing on unregistration are no failure.
class RegistryScriptRunner {
public:
    // perUser: the script's HKEY_CLASSES_ROOT stands for HKEY_CURRENT_USER\Software\Classes.
    explicit RegistryScriptRunner(bool perUser) : perUser_(perUser) {}

    HRESULT registerScript(const RegistryScript& script) const noexcept;
    HRESULT unregisterScript(const RegistryScript& script) const noexcept;

private:
    HRESULT registerKey(HKEY parent, const RegistryScript::Key& key) const;
    HRESULT unregisterKey(HKEY parent, const RegistryScript::Key& key) const;
    bool redirected(HKEY root) const;

    bool perUser_;
};

} // namespace Corvane::Com
