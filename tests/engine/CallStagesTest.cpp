// The test call's stages against two scripted modems on one virtual clock, so that the
// long waits (S7, the restart, the hang-up) cost no real time: what the operator sees (the
// rows in order, the boxes), how the run ends (its result, the report's word) and what was
// sent to each modem.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "engine/CallMessages.h"
#include "engine/Format.h"
#include "engine/Messages.h"
#include "tests/engine/EngineRig.h"

namespace {

constexpr const char* Ok = "\r\nOK\r\n";
constexpr const char* Connect = "\r\nCONNECT 9600\r\n";

// The calling modem and the device's as the cases want them; what neither case sets
// goes as a modem on a good network goes. Both echo nothing.
struct CallModems {
    std::string DialAnswer = Connect;  // the caller's answer to ATD; empty for silence
    bool DeviceAnswers = true;         // it rings and answers the call
    bool RestartReturns = true;        // the device's modem answers AT after AT+CFUN=1,1
    int EscapesIgnored = 0;            // the caller's first +++ that it takes for data
    const char* CallerHangUp = Ok;     // the caller's answer to ATH
    bool DeviceTellsEnd = true;        // NO CARRIER at the device when the caller hangs up
    bool PortGoesAtEscape = false;     // the caller's port fails at its first +++
    const char* DeviceS12 = "50";
    std::string DialAfter;             // sent by the caller once its answer to ATD is read
    std::string DeviceRing;            // sent by the device at a dial that it does not answer
    std::string AfterRings;            // sent by the caller once the device's second ring is logged
    const char* CallerS7 = "60";
    std::string CeerAnswer = Ok;       // the caller's answer to AT+CEER
    bool RefusesReports = false;       // ERROR to ATS18=1, AT+CRC=1 and AT+CBST?
    std::vector<int> Carried = {7, 71};  // the bearers the network carries; another gets cause 65
    int Bearer = 7;                    // the caller's +CBST speed

    std::mutex Lock;
    bool CallerOnline = false, DeviceOnline = false, DeviceRestarted = false;

    void Wire(ModemScript& caller, ModemScript& device) {
        caller.Answer = [this, &caller, &device](uint32_t, const std::string& command) -> std::optional<std::string> {
            std::lock_guard lock(Lock);
            if (CallerOnline && command != "+++") {
                if (DeviceOnline) device.Send(command);
                return std::nullopt;
            }
            if (command == "+++") {
                if (PortGoesAtEscape) caller.Vanished = true;
                if (EscapesIgnored-- > 0) return std::nullopt;
                CallerOnline = false;
                return Ok;
            }
            if (command.rfind("ATD", 0) == 0) {
                const bool carried = std::find(Carried.begin(), Carried.end(), Bearer) != Carried.end();
                const std::string answer = carried ? DialAnswer : "\r\n+CAUSE: 8:65\r\n\r\nNO CARRIER\r\n";
                if (answer == Connect && DeviceAnswers) {
                    device.Send("\r\nRING\r\n");
                    device.Send(Connect);
                    DeviceOnline = true;
                } else if (carried && !DeviceRing.empty()) {
                    device.Send(DeviceRing);
                }
                if (answer == Connect) CallerOnline = true;
                if (carried && !DialAfter.empty()) caller.Send(DialAfter);
                if (answer.empty()) return std::nullopt;
                return answer;
            }
            if (RefusesReports && (command == "ATS18=1\r" || command == "AT+CBST?\r")) return "\r\nERROR\r\n";
            if (command == "AT+CEER\r") return CeerAnswer;
            if (command == "AT+CBST?\r") return "\r\n+CBST: " + std::to_string(Bearer) + ",0,1\r\n" + Ok;
            if (command.rfind("AT+CBST=", 0) == 0) Bearer = std::stoi(command.substr(8));
            if (command == "ATS7?\r") return "\r\n" + std::string(CallerS7) + "\r\n" + Ok;
            if (command == "ATS12?\r") return "\r\n50\r\n" + std::string(Ok);
            if (command == "ATH\r" && CallerHangUp == std::string(Ok) && DeviceOnline && DeviceTellsEnd) {
                DeviceOnline = false;
                device.Send("\r\nNO CARRIER\r\n");
            }
            if (command == "ATH\r") return CallerHangUp;
            return Ok;
        };
        device.Answer = [this, &caller, &device](uint32_t, const std::string& command) -> std::optional<std::string> {
            std::lock_guard lock(Lock);
            if (DeviceOnline && command != "+++") {
                if (CallerOnline) caller.Send(command);
                return std::nullopt;
            }
            if (command == "+++") {
                DeviceOnline = false;
                return Ok;
            }
            if (command == "AT+CFUN=1,1\r") {
                DeviceRestarted = true;
                device.Send("\r\n^SYSSTART\r\n");
                return Ok;
            }
            if (command == "AT\r" && DeviceRestarted && !RestartReturns) return std::nullopt;
            if (command == "AT+CRC=1\r" && RefusesReports) return "\r\nERROR\r\n";
            if (command == "ATS12?\r") return "\r\n" + std::string(DeviceS12) + "\r\n" + Ok;
            return Ok;
        };
    }
};

struct CallRun {
    EngineRig<> Rig;
    std::mutex Lock;
    std::optional<RunOutcome> Ended;

    explicit CallRun(CallModems& modems) {
        modems.Wire(*Rig.Script, *Rig.DeviceScript);
        for (ModemScript* script : {Rig.Script.get(), Rig.DeviceScript.get()})
            script->SilentReadRealMs = ScriptedPlatform::ReadTimeoutMs / 50;
        Rig.Engine->OnRunEnded = [this](const RunOutcome& outcome) {
            std::lock_guard lock(Lock);
            Ended = outcome;
        };
        Rig.Init();
    }
    RunOutcome Call(int answerCom, int bearer = 0) {
        EXPECT_TRUE(Rig.Engine->OnTestCall(CallRequest{"+0002", answerCom, true, bearer}));
        EXPECT_TRUE(Rig.Win.WaitFor([&] {
            std::lock_guard lock(Lock);
            return Ended.has_value();
        }));
        std::lock_guard lock(Lock);
        return Ended.value_or(RunOutcome{});
    }
};

// Each wanted row in order, as the whole row or its beginning.
void ExpectInOrder(const std::vector<std::string>& rows, const std::vector<std::string>& wanted) {
    size_t at = 0;
    for (const std::string& row : wanted) {
        const auto found = std::find_if(rows.begin() + static_cast<std::ptrdiff_t>(at), rows.end(),
                                        [&](const std::string& seen) { return seen.rfind(row, 0) == 0; });
        EXPECT_NE(found, rows.end()) << "missing in order: " << row;
        if (found != rows.end()) at = static_cast<size_t>(found - rows.begin()) + 1;
    }
}

size_t CountOf(const std::vector<std::string>& rows, const std::string& row) {
    return static_cast<size_t>(std::count(rows.begin(), rows.end(), row));
}

const std::string Hangup = gFormat(Msg::Executing, "ATH");
const std::string Escape = gFormat(Msg::Executing, "+++");

TEST(CallStages, EachStageEndsTheCallAsTheOperatorSeesIt) {
    const std::string noReply = gFormat(Msg::NoReply, "ATD+0002");
    const struct {
        const char* Name;
        int AnswerCom;  // 0: at the meter, one port
        std::function<void(CallModems&)> Set;
        CallResult End;
        RunResult Result;
        const char* Word;
        std::vector<std::string> Rows;
        std::vector<std::string> Boxes;
    } cases[] = {
        {"NoNetworkAtTheDevice", 2, [](CallModems& m) { m.DialAnswer = "\r\nNO CARRIER\r\n"; m.DeviceAnswers = false; },
         CallResult::NotReached, RunResult::Failed, "not reached",
         {"Набор номера +0002", CallMsg::NotReached, CallMsg::Failed}, {CallMsg::NotReached}},
        {"NoReplyToTheDial", 0, [](CallModems& m) { m.DialAnswer.clear(); }, CallResult::NoReply, RunResult::Failed,
         "no reply", {"Набор номера +0002", noReply, CallMsg::Failed}, {noReply}},
        {"DeviceNotBackAfterItsRestart", 2, [](CallModems& m) { m.RestartReturns = false; }, CallResult::NotBack,
         RunResult::Failed, "not back after restart",
         {"Выполнение команды AT+CFUN=1,1", "Получен ответ \"OK\"", "Получен ответ \"^SYSSTART\"", CallMsg::NotBack,
          CallMsg::Failed},
         {CallMsg::NotBack}},
        {"CallerNotOnHook", 0, [](CallModems& m) { m.CallerHangUp = "\r\nERROR\r\n"; }, CallResult::NotHungUp,
         RunResult::Failed, "not hung up",
         {"Соединение установлено: \"CONNECT 9600\"", CallMsg::HangingUp, Escape, Hangup, Hangup, Hangup,
          CallMsg::NotOnHook, CallMsg::Failed},
         {CallMsg::NotOnHook}},
        {"PortFailsDuringTheHangUp", 0, [](CallModems& m) { m.PortGoesAtEscape = true; }, CallResult::NotHungUp,
         RunResult::Failed, "not hung up", {CallMsg::HangingUp, Escape, CallMsg::NotOnHook, CallMsg::Failed},
         {"Ошибка выполнения ReadFile (код 5)!", CallMsg::NotOnHook}},
        {"DeviceSilentAtTheHangUp", 2, [](CallModems& m) { m.DeviceTellsEnd = false; m.DeviceS12 = "150"; },
         CallResult::Passed, RunResult::Succeeded, "passed",
         {gFormat(CallMsg::DataCheck, 1024), CallMsg::HangingUp, Escape, Hangup, "Получен ответ \"OK\"",
          CallMsg::OtherSideSilent, Escape, Hangup, "Получен ответ \"OK\"", CallMsg::Passed},
         {}},
        {"EscapeTriedAgain", 0, [](CallModems& m) { m.EscapesIgnored = 1; }, CallResult::Passed, RunResult::Succeeded,
         "passed", {CallMsg::HangingUp, Escape, Escape, Hangup, "Получен ответ \"OK\"", CallMsg::Passed}, {}},
        {"WholeWorkshopCall", 2, [](CallModems&) {}, CallResult::Passed, RunResult::Succeeded, "passed",
         {gFormat(CallMsg::Ring, 1), "Модем прибора сам ответил на звонок: \"CONNECT 9600\"",
          gFormat(CallMsg::DataCheck, 1024),
          CallMsg::OtherSideEnded, CallMsg::Passed},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        CallModems modems;
        c.Set(modems);
        CallRun run(modems);
        const RunOutcome outcome = run.Call(c.AnswerCom);
        EXPECT_EQ(outcome.Kind, RunKind::Call);
        EXPECT_EQ(outcome.Call.End, c.End);
        EXPECT_EQ(outcome.Result, c.Result);
        EXPECT_STREQ(gCallResultName(outcome.Call.End), c.Word);
        const std::vector<std::string> rows = run.Rig.Log();
        ExpectInOrder(rows, c.Rows);
        EXPECT_EQ(rows.back(), c.Rows.back());
        std::vector<std::string> boxes;
        for (const auto& box : run.Rig.Win.Messages()) boxes.push_back(box.Text);
        EXPECT_EQ(boxes, c.Boxes);
        if (c.Name == std::string("DeviceSilentAtTheHangUp")) {
            // The device escapes with its own S12 of 3 s, the caller with its 1 s.
            const std::vector<uint32_t> pauses = run.Rig.DeviceScript->PausesMs();
            EXPECT_EQ(std::count(pauses.begin(), pauses.end(), 3000u), 2) << "the device's guard time";
            const std::vector<uint32_t> callerPauses = run.Rig.Script->PausesMs();
            EXPECT_EQ(std::count(callerPauses.begin(), callerPauses.end(), 1000u), 2);
        }
    }
}

// Every final code the calling modem can refuse ATD with ends the dial at once, its own
// words in the log, and the call goes no further.
TEST(CallStages, ADialRefusedWithAnyFinalCodeEndsAtOnceInTheModemsWords) {
    const struct {
        const char* Answer;
        const char* Words;
        CallResult End;
        const char* Row;
    } cases[] = {
        {"\r\nERROR\r\n", "ERROR", CallResult::NoNetwork, CallMsg::NoNetwork},
        {"\r\n+CME ERROR: 30\r\n", "+CME ERROR: 30", CallResult::NoNetwork, CallMsg::NoNetwork},
        {"\r\n+CMS ERROR: 500\r\n", "+CMS ERROR: 500", CallResult::NoNetwork, CallMsg::NoNetwork},
        {"\r\nCOMMAND NOT SUPPORT\r\n", "COMMAND NOT SUPPORT", CallResult::NoNetwork, CallMsg::NoNetwork},
        {"\r\nMODEM ERROR: 3\r\n", "MODEM ERROR: 3", CallResult::NoNetwork, CallMsg::NoNetwork},
        {"\r\nNO DIALTONE\r\n", "NO DIALTONE", CallResult::NoNetwork, CallMsg::NoNetwork},
        {"\r\nBUSY\r\n", "BUSY", CallResult::Busy, CallMsg::Busy},
        {"4\r", "ERROR", CallResult::NoNetwork, CallMsg::NoNetwork},
        {"\r\n4\r\n", "ERROR", CallResult::NoNetwork, CallMsg::NoNetwork},
        {"7\r", "BUSY", CallResult::Busy, CallMsg::Busy},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Answer);
        CallModems modems;
        modems.DialAnswer = c.Answer;
        CallRun run(modems);
        uint32_t dialledAt = 0;
        run.Rig.Script->OnWrite = [&](const std::string& command) {
            if (command.rfind("ATD", 0) == 0) dialledAt = *run.Rig.Script->Clock;
        };
        const RunOutcome outcome = run.Call(0);
        EXPECT_EQ(outcome.Call.End, c.End);
        EXPECT_EQ(outcome.Result, RunResult::Failed);
        EXPECT_LT(*run.Rig.Script->Clock - dialledAt, 30000u) << "the dial waited for S7 and more";
        const std::vector<std::string> rows = run.Rig.Log();
        ExpectInOrder(rows, {"Набор номера +0002", gFormat(Msg::Received, c.Words), c.Row, CallMsg::Failed});
        EXPECT_EQ(rows.back(), CallMsg::Failed);
        EXPECT_EQ(CountOf(rows, Hangup), 0u) << "a refused dial leaves nothing to hang up";
    }
}

// The network's reason as the calling modem tells it, read right or shown as it came and
// never misread; a modem that tells none, or refuses to be asked, leaves today's rows; a
// bearer the network refuses is dialled once more with the other, a stop then included.
TEST(CallStages, TheNetworksReasonNamesAFailedCall) {
    const std::string noCarrier = "\r\nNO CARRIER\r\n";
    const auto cause = [](const char* row, int reason) { return gFormat(CallMsg::CauseNumber, row, reason); };
    const auto said = [](const char* line) { return gFormat(Msg::Received, line); };
    const std::string retry =
        "Сеть не поддерживает тип соединения AT+CBST=7,0,1 (V.32). Повтор звонка с AT+CBST=71,0,1 (V.110).";
    const std::string passed71 =
        "Звонок прошёл с типом соединения AT+CBST=71,0,1 (V.110): укажите его в программе опроса приборов.";
    const std::string unanswered = gFormat(CallMsg::RangUnanswered, 2);
    const struct {
        const char* Name;
        std::function<void(CallModems&)> Set;
        int Bearer;  // --cbst; 0 none
        CallResult End;
        int Cause;       // in the findings
        int DialBearer;  // in the findings
        std::vector<std::string> Rows;
        const char* Absent;  // the beginning of a row that must not come; "" none
    } cases[] = {
        {"CauseBeforeNoCarrier", [&](CallModems& m) { m.DialAnswer = "\r\n+CAUSE: 8:57\r\n" + noCarrier; },
         0, CallResult::Refused, 57, 7,
         {said("+CAUSE: 8:57"), cause(CallMsg::CallerNoData, 57), CallMsg::Failed}, CallMsg::NotReached},
        {"CauseInPiecesBeforeBusy", [](CallModems& m) { m.DialAnswer = "\r\n+CAU"; m.DialAfter = "SE: 8:17\r\n\r\nBUSY\r\n"; },
         0, CallResult::Busy, 17, 7, {said("BUSY"), said("+CAUSE: 8:17"), cause(CallMsg::Busy, 17)}, ""},
        {"CauseAmongUnsolicitedLines",
         [&](CallModems& m) { m.DialAnswer = "\r\n+CREG: 1\r\n\r\n+CAUSE: 8:1\r\n\r\n+CMTI: \"SM\",3\r\n" + noCarrier; },
         0, CallResult::Refused, 1, 7, {said("+CAUSE: 8:1"), cause(CallMsg::NoSuchNumber, 1)}, ""},
        {"CauseAfterTheFinalCode", [&](CallModems& m) { m.DialAnswer = noCarrier + "\r\n+CAUSE: 8:18\r\n"; },
         0, CallResult::NotReached, 18, 7, {said("+CAUSE: 8:18"), cause(CallMsg::DeviceUnreachable, 18)},
         "Получен ответ \"+CEER"},
        {"AskedWhenNotTold", [&](CallModems& m) { m.DialAnswer = noCarrier; m.CeerAnswer = "\r\n+CEER: 8,88,0\r\n\r\nOK\r\n"; },
         0, CallResult::Refused, 88, 7, {said("+CEER: 8,88,0"), cause(CallMsg::DeviceNoData, 88)}, ""},
        {"CeerWithoutItsLastField", [&](CallModems& m) { m.DialAnswer = noCarrier; m.CeerAnswer = "\r\n+CEER: 8,21\r\n\r\nOK\r\n"; },
         0, CallResult::Refused, 21, 7, {said("+CEER: 8,21"), cause(CallMsg::DeviceRejected, 21)}, ""},
        {"NothingToReport", [&](CallModems& m) { m.DialAnswer = noCarrier; m.CeerAnswer = "\r\n+CEER: 0,0,0\r\n\r\nOK\r\n"; },
         0, CallResult::NotReached, 0, 7, {CallMsg::NotReached, CallMsg::Failed}, "Получен ответ \"+CEER"},
        {"CeerRefused", [&](CallModems& m) { m.DialAnswer = noCarrier; m.CeerAnswer = "\r\nERROR\r\n"; },
         0, CallResult::NotReached, 0, 7, {CallMsg::NotReached, CallMsg::Failed}, "Получен ответ \"ERROR"},
        {"CeerSilent", [&](CallModems& m) { m.DialAnswer = noCarrier; m.CeerAnswer.clear(); },
         0, CallResult::NotReached, 0, 7, {CallMsg::NotReached, CallMsg::Failed}, "Получен ответ \"+C"},
        {"NonNumericReason", [&](CallModems& m) { m.DialAnswer = "\r\n+CAUSE: 8:5x7\r\n" + noCarrier; },
         0, CallResult::NotReached, 0, 7, {said("+CAUSE: 8:5x7"), CallMsg::NotReached}, ""},
        {"ExtraField", [&](CallModems& m) { m.DialAnswer = "\r\n+CAUSE: 8:57:1\r\n" + noCarrier; },
         0, CallResult::NotReached, 0, 7, {said("+CAUSE: 8:57:1"), CallMsg::NotReached}, "Сеть отклонила"},
        {"MissingReason", [&](CallModems& m) { m.DialAnswer = "\r\n+CAUSE: 8:\r\n" + noCarrier; },
         0, CallResult::NotReached, 0, 7, {said("+CAUSE: 8:"), CallMsg::NotReached}, ""},
        {"AnotherLocationsNumbers", [&](CallModems& m) { m.DialAnswer = "\r\n+CAUSE: 2:57\r\n" + noCarrier; },
         0, CallResult::NotReached, 0, 7, {said("+CAUSE: 2:57"), CallMsg::NotReached}, "Сеть отклонила"},
        {"ReasonWithoutARowOfItsOwn", [&](CallModems& m) { m.DialAnswer = "\r\n+CAUSE: 8:16\r\n" + noCarrier; },
         0, CallResult::NotReached, 16, 7,
         {said("+CAUSE: 8:16"), "Сеть завершила звонок, причина 16.", CallMsg::NotReached}, ""},
        {"RingsAsAVoiceCall",
         [&](CallModems& m) {
             m.DialAnswer.clear();
             m.AfterRings = "\r\n+CAUSE: 8:19\r\n" + noCarrier;
             m.CallerS7 = "255";
             m.DeviceRing = "\r\n+CRING: VOICE\r\n\r\n+CRING: VOICE\r\n";
         },
         0, CallResult::NotAnswered, 19, 7, {gFormat(CallMsg::Ring, 2), cause(CallMsg::RangAsVoice, 19)}, unanswered.c_str()},
        {"TypedDataRingsUnanswered",
         [&](CallModems& m) {
             m.DialAnswer.clear();
             m.AfterRings = noCarrier;
             m.CallerS7 = "255";
             m.DeviceRing = "\r\n+CRING: REL ASYNC\r\n\r\n+CRING: REL ASYNC\r\n";
         },
         0, CallResult::NotAnswered, 0, 7, {gFormat(CallMsg::Ring, 2), unanswered}, CallMsg::RangAsVoice},
        {"ModemsRefuseToBeAsked", [](CallModems& m) { m.RefusesReports = true; }, 0, CallResult::Passed, 0, 0,
         {gFormat(CallMsg::DataCheck, 1024), CallMsg::Passed}, ""},
        {"SecondBearerPasses", [](CallModems& m) { m.Carried = {71}; }, 0, CallResult::Passed, 0, 71,
         {said("+CAUSE: 8:65"), retry, "Набор номера +0002", gFormat(CallMsg::DataCheck, 1024), passed71,
          CallMsg::Passed},
         ""},
        {"NeitherBearerCarried", [](CallModems& m) { m.Carried = {}; }, 0, CallResult::Refused, 65, 71,
         {retry, cause("Сеть не поддерживает тип соединения AT+CBST=71,0,1 (V.110).", 65), CallMsg::Failed}, ""},
        {"OneBearerAsked", [](CallModems& m) { m.Carried = {7}; }, 71, CallResult::Refused, 65, 71,
         {said("+CAUSE: 8:65"), cause("Сеть не поддерживает тип соединения AT+CBST=71,0,1 (V.110).", 65)},
         "Сеть не поддерживает тип соединения AT+CBST=7,0,1 (V.32). Повтор"},
        {"StopDuringTheSecondBearer",
         [](CallModems& m) {
             m.Carried = {71};
             m.DialAnswer.clear();
             m.DeviceRing = "\r\nRING\r\n";
         },
         0, CallResult::Stopped, 0, 71, {retry, Hangup, "Получен ответ \"OK\"", CallMsg::Stopped}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        CallModems modems;
        c.Set(modems);
        CallRun run(modems);
        int dials = 0;
        if (c.End == CallResult::Stopped) {
            run.Rig.Script->OnWrite = [&](const std::string& command) {
                if (command.rfind("ATD", 0) == 0 && ++dials == 2) run.Rig.Engine->StopRun();
            };
        }
        // The caller's end comes seconds after the rings, as on a network.
        std::thread rang;
        if (!modems.AfterRings.empty()) {
            rang = std::thread([&] {
                run.Rig.WaitForRow(gFormat(CallMsg::Ring, 2));
                run.Rig.Script->Send(modems.AfterRings);
            });
        }
        const RunOutcome outcome = run.Call(2, c.Bearer);
        if (rang.joinable()) rang.join();
        EXPECT_EQ(outcome.Call.End, c.End);
        EXPECT_EQ(outcome.Call.Cause, c.Cause);
        EXPECT_EQ(outcome.Call.Bearer, c.DialBearer);
        const std::vector<std::string> rows = run.Rig.Log();
        ExpectInOrder(rows, c.Rows);
        if (*c.Absent) {
            for (const std::string& row : rows) EXPECT_NE(row.rfind(c.Absent, 0), 0u) << row;
        }
        if (c.End != CallResult::Passed && c.End != CallResult::Stopped) {
            std::vector<std::string> boxes;
            for (const auto& box : run.Rig.Win.Messages()) boxes.push_back(box.Text);
            EXPECT_EQ(boxes, std::vector<std::string>{rows[rows.size() - 2]}) << "the box is the call's last word";
        }
        // Asked in the active profile alone; the caller's own bearer again after the call.
        const std::vector<std::string> caller = run.Rig.Script->Written(), device = run.Rig.DeviceScript->Written();
        EXPECT_EQ(std::count(caller.begin(), caller.end(), "ATS18=1\r"), 1);
        EXPECT_EQ(std::count(device.begin(), device.end(), "AT+CRC=1\r"), 1);
        for (const auto* written : {&caller, &device})
            for (const std::string& command : *written) EXPECT_EQ(command.find("&W"), std::string::npos) << command;
        EXPECT_EQ(modems.Bearer, 7) << "the bearer was set for the call only";
        EXPECT_FALSE(modems.CallerOnline || modems.DeviceOnline);
    }
}

}  // namespace
