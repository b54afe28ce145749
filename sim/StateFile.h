#pragma once
// The modems' state as a JSON file that tests and scripts can read while the modems run:
// {"modems":[ one object per line, by COM number ]}. Replaced as a whole on each change,
// so a reader never sees half of it.

#include <map>
#include <mutex>
#include <string>

class StateFile {
public:
    explicit StateFile(std::string path) : Path(std::move(path)) {}
    // Writes the file with no modem yet; empty when it could, otherwise why not.
    std::string Open();
    // One modem's object; the file is written when it differs from the last one.
    void Put(int comNumber, const std::string& json);

private:
    bool Write();

    std::mutex Lock;
    std::string Path;
    std::map<int, std::string> Entries;
};
