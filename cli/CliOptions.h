#pragma once
// The console front end's command line: the four choices of the window, and two
// requests that run no job.

#include <string>
#include <vector>

struct CliOptions {
    int ComNumber = 1;
    int ModelIndex = 0;
    int SpeedIndex = 3;
    int Place = 0;
    bool List = false;
    bool Help = false;
};

struct ParsedOptions {
    CliOptions Options;
    std::string Error;  // empty when the arguments are good
};

ParsedOptions gParseCliOptions(const std::vector<std::string>& args);

// The usage text, a few lines.
std::string gCliUsage();
