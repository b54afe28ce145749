#pragma once
// The modems' call stages as the virtual modem's state file tells them: "COMn:stage " for
// each modem, in the file's order (by COM number), as in "COM1:on-hook COM2:on-hook ".

#include <fstream>
#include <iterator>
#include <string>

inline std::string gCallStages(const std::string& stateFile) {
    std::ifstream in(stateFile);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string stages;
    for (size_t at = text.find("\"com\":"); at != std::string::npos; at = text.find("\"com\":", at + 1)) {
        const size_t call = text.find("\"call\":\"", at) + 8;
        stages += "COM" + text.substr(at + 6, text.find(',', at) - at - 6) + ":" +
                  text.substr(call, text.find('"', call) - call) + " ";
    }
    return stages;
}
