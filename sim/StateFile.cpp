#include "sim/StateFile.h"

#include <filesystem>
#include <fstream>

std::string StateFile::Open() {
    std::lock_guard guard(Lock);
    return Write() ? std::string() : "cannot write the state file " + Path;
}

void StateFile::Put(int comNumber, const std::string& json) {
    std::lock_guard guard(Lock);
    std::string& entry = Entries[comNumber];
    if (entry == json) return;
    entry = json;
    Write();
}

bool StateFile::Write() {
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
