#pragma once
// The per-user store of the operator's last choices on Windows: 32-bit REG_DWORD values
// below HKEY_CURRENT_USER\software\<company>\<application name>\<section>. Every call
// walks the chain of keys afresh and creates what is missing, so nothing is cached, a
// value changed from outside is seen at the next read, and the first read leaves the
// empty keys behind. Failures are silent: a read gives the default, a write returns 0.
// Free of any window toolkit, so every Windows front end can keep its choices here.

#include <string>

#include "engine/IntSettings.h"

class RegistryStore : public IntSettings {
public:
    // Names the company; the application name is the running program's file name
    // without folder and extension.
    void SetRoot(const std::string& company);

    int32_t ReadInt(const std::string& section, const std::string& name, int32_t def) override;
    int WriteInt(const std::string& section, const std::string& name, int32_t value) override;

private:
    std::string Company;
    std::string Application;
};
