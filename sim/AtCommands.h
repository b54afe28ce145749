#pragma once
// The AT command interpreter: one command line in, what it did out. No I/O, no time.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "serial/ResultCodes.h"

#include "sim/ModemSettings.h"
#include "sim/SimCard.h"

// What a command line asks of the call, which the interpreter cannot do alone.
enum class CallAction { None, Dial, Answer, HangUp, Online, Restart, ReportCause };

struct AtOutcome {
    bool Ok = true;
    int CmeError = -1;  // a failure reported as +CME ERROR: n in place of ERROR
    std::string CmeText;  // the words given in place of n, as after +CMEE=2
    std::vector<std::string> Information;  // texts shown before the result code
    bool ProfileStored = false;            // &W ran
    bool SignalRead = false;               // +CSQ told the level
    CallAction Call = CallAction::None;
    std::string Number;                    // the number of ATD
    std::optional<ResultCode> Result;      // a call's result in place of OK
    bool Pending = false;                  // the result comes later, as a dial's does
};

// How AT+CSQ goes wrong on a modem that will not tell its level.
enum class SignalFault { None, Error, Garbage };

// The registration states of +CREG, by their numbers.
enum class Registration { NotRegistered = 0, Home = 1, Searching = 2, Denied = 3, Roaming = 5 };

// What the modem tells of itself, its card and its network. The virtual modem's options
// are made of these and their kin, so each default is written here alone.
struct AtRules {
    bool NoSim = false;      // without a SIM card the modem refuses to set auto-answer
    int Signal = 17;         // +CSQ level: 0 to 31, 99 unknown
    Registration Network = Registration::Home;  // while the SIM card is ready
    std::string Imei = {};   // the virtual modem makes one from its COM number when empty
    std::string Maker = "Cinterion";  // what AT+CGMI answers, any bytes: a hostile modem's markup
    std::string Model = "MC52i";  // what AT+CGMM answers, likewise
    SignalFault CsqFault = SignalFault::None;  // AT+CSQ answers ERROR or no level
    // AT+CEER tells the cause of a data call too, as other families do; the MC55 tells
    // only a voice call's and answers +CEER: 0,0,0 after a data call (use ATS18=1 there).
    bool CeerForData = false;
};

// The commands of a line after its "AT"/"at" prefix, without the line end, or nothing
// when the line is not a command line.
bool gCommandBody(std::string_view line, std::string_view& body);

// Runs the commands of body left to right on current (and stored, for &W, and the card
// for the PIN commands), stopping at the first it cannot carry out; what ran before that
// stays done.
AtOutcome gRunCommands(std::string_view body, ModemSettings& current, ModemSettings& stored, SimCard& card,
                       const AtRules& rules);

// The bytes a modem with settings s sends for the outcome: information texts and the
// result code, verbose or numeric, framed by its S3/S4 characters; Q1 drops the result.
// A pending outcome has no result code yet.
std::string gFormatReply(const AtOutcome& outcome, const ModemSettings& s);

// An unsolicited result code ("RING") in the form of s.
std::string gFormatUnsolicited(std::string_view verboseText, int numericCode, const ModemSettings& s);
// A result code of a call in the form of s; nothing under Q1.
std::string gFormatResult(const ResultCode& code, const ModemSettings& s);

// A valid IMEI (its last digit the check digit) of its own for each COM number, so that
// modems of one batch tell apart.
std::string gImeiFor(int comNumber);
