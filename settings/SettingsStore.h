#pragma once
// The per-user store of the operator's last choices: four 32-bit integers in the
// section Settings\CommPort below <company>/<application name>. Every call opens,
// uses and drops its own QSettings, so nothing is cached, a value changed from outside
// is seen at the next read, and two running instances never lose each other's values.
// Failures are silent: a read gives the default, a write returns 0.

#include <QString>

#include "engine/IntSettings.h"

class SettingsStore : public IntSettings {
public:
    // Names the company; the application name is the executable's file name without
    // folder and extension, as the application object reports it.
    void SetRoot(const std::string& company);

    int32_t ReadInt(const std::string& section, const std::string& name, int32_t def) override;
    int WriteInt(const std::string& section, const std::string& name, int32_t value) override;

private:
    QString Company;
    QString Application;
};
