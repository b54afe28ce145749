#include "sim/StateFile.h"

#include <filesystem>
#include <fstream>

bool StateFile::Put(int comNumber, const std::string& json) {
    std::lock_guard guard(Lock);
    std::string& entry = Entries[comNumber];
    if (entry == json) return true;
    entry = json;
    std::string text = "{\"modems\":[\n";
    for (const auto& [com, object] : Entries) text += (com == Entries.begin()->first ? "" : ",\n") + object;
    text += "\n]}\n";
    const std::string temporary = Path + ".new";
    {
        std::ofstream out(temporary, std::ios::out | std::ios::trunc | std::ios::binary);
        if (!(out << text) || !out.flush()) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temporary, Path, ec);
    return !ec;
}
