#pragma once
// The console front end's command line: the four choices of the window (several COM
// ports run side by side), the modem check, the batch report, and two requests that run
// no job.

#include <string>
#include <vector>

struct CliOptions {
    std::vector<int> ComNumbers = {1};
    int ModelIndex = 0;
    int SpeedIndex = 3;
    int Place = 0;
    bool Configure = false;  // --model, --speed or --place was given
    bool Check = false;
    bool SimPin = false;  // turns the SIM card's PIN request off; the PIN comes from stdin
    std::string ReportFile;  // empty: no report
    bool Signal = false;     // the signal meter, on one port, alone
    int SignalSeconds = 0;   // how long the meter runs; 0 until Ctrl+C
    std::string CallNumber;  // the test call's number; empty: no test call
    int AnswerCom = 0;       // the device's modem's COM number in the workshop; 0 none
    bool NoRestart = false;  // the device's modem is not restarted before the call
    int Bearer = 0;          // --cbst: the one +CBST speed the call dials with; 0 the modem's, then the other
    bool List = false;
    bool Help = false;
};

struct ParsedOptions {
    CliOptions Options;
    std::string Error;  // empty when the arguments are good
    bool ShowUsage = true;  // false when Error itself says what is allowed
};

ParsedOptions gParseCliOptions(const std::vector<std::string>& args);

// A job runs unless only a check was asked for; a check alone needs no configuration.
inline bool gRunsJob(const CliOptions& o) { return !o.Check || o.Configure; }

// The usage text, a few lines.
std::string gCliUsage();
