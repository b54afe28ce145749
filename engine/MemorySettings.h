#pragma once
// Settings kept in memory only: for runs that must leave the operator's stored choices
// alone (the console front end) and for tests. Safe from any thread.

#include <map>
#include <mutex>
#include <string>

#include "engine/IntSettings.h"

class MemorySettings : public IntSettings {
public:
    int32_t ReadInt(const std::string& section, const std::string& name, int32_t def) override {
        std::lock_guard lock(Mutex);
        const auto found = Values.find(Key(section, name));
        return found == Values.end() ? def : found->second;
    }
    int WriteInt(const std::string& section, const std::string& name, int32_t value) override {
        std::lock_guard lock(Mutex);
        Values[Key(section, name)] = value;
        return 1;
    }
    bool Has(const std::string& section, const std::string& name) {
        std::lock_guard lock(Mutex);
        return Values.count(Key(section, name)) != 0;
    }

private:
    static std::string Key(const std::string& section, const std::string& name) { return section + '\\' + name; }

    std::mutex Mutex;
    std::map<std::string, int32_t> Values;
};
