#include "settings/RegistryStore.h"

#include <windows.h>

#include <utility>

namespace {

// An open key that closes itself; null when the chain broke.
class Key {
public:
    Key() = default;
    explicit Key(HKEY key) : H(key) {}
    ~Key() {
        if (H) RegCloseKey(H);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    Key& operator=(Key&& other) noexcept {
        std::swap(H, other.H);
        return *this;
    }
    HKEY Get() const { return H; }
    explicit operator bool() const { return H != nullptr; }

    // Creates or opens name below this key.
    Key Create(const std::string& name) const {
        HKEY child = nullptr;
        if (!H || RegCreateKeyExA(H, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                                  &child, nullptr) != ERROR_SUCCESS)
            return Key();
        return Key(child);
    }

private:
    HKEY H = nullptr;
};

// software\<company>\<application>\<section>, each level created when missing; the
// per-user software key itself is only opened. The outer keys close as the walk goes on.
Key OpenSection(const std::string& company, const std::string& application, const std::string& section) {
    HKEY software = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "software", 0, KEY_READ | KEY_WRITE, &software) != ERROR_SUCCESS) return Key();
    Key app;
    {
        const Key root(software);
        const Key companyKey = root.Create(company);
        app = companyKey.Create(application);
    }
    return app.Create(section);
}

// The file name of the running program without its folder and extension.
std::string ProgramName() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length);
    name.erase(0, name.find_last_of("\\/") + 1);
    if (const size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
    return name;
}

}  // namespace

void RegistryStore::SetRoot(const std::string& company) {
    Company = company;
    Application = ProgramName();
}

// Only a REG_DWORD counts: a value of another type, or one longer than 4 bytes, is as
// good as absent.
int32_t RegistryStore::ReadInt(const std::string& section, const std::string& name, int32_t def) {
    const Key key = OpenSection(Company, Application, section);
    if (!key) return def;
    DWORD type = 0;
    int32_t value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return def;
    return value;
}

int RegistryStore::WriteInt(const std::string& section, const std::string& name, int32_t value) {
    const Key key = OpenSection(Company, Application, section);
    return key && RegSetValueExA(key.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof value) == ERROR_SUCCESS;
}
