#pragma once
// The program's arguments as UTF-8, whatever the platform hands over.

#include <string>
#include <vector>

struct ProgramArguments {
    std::vector<std::string> Values;  // without the program's own name
    std::string Error;                // empty when every argument could be read
};

ProgramArguments gProgramArguments(int argc, char** argv);
