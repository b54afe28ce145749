// The test call's stages against two scripted modems on one virtual clock, so that the
// long waits (S7, the restart, the hang-up) cost no real time: what the operator sees (the
// rows in order, the boxes), how the run ends (its result, the report's word) and what was
// sent to each modem.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

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
                if (DialAnswer == Connect && DeviceAnswers) {
                    device.Send("\r\nRING\r\n");
                    device.Send(Connect);
                    DeviceOnline = true;
                }
                if (DialAnswer == Connect) CallerOnline = true;
                if (DialAnswer.empty()) return std::nullopt;
                return DialAnswer;
            }
            if (command == "ATS7?\r") return "\r\n60\r\n" + std::string(Ok);
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
    RunOutcome Call(int answerCom) {
        EXPECT_TRUE(Rig.Engine->OnTestCall(CallRequest{"+0002", answerCom, true}));
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

}  // namespace
