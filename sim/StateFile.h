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
    // One modem's object; the file is written when it differs from the last one. False
    // when the file could not be written.
    bool Put(int comNumber, const std::string& json);

private:
    std::mutex Lock;
    std::string Path;
    std::map<int, std::string> Entries;
};
