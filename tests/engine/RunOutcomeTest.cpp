// The typed end of every kind of run, as a front end receives it: one table of scenarios
// against a scripted modem, each with the outcome told and the final row beside it, so
// that the value and the words can never disagree.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "engine/CheckRows.h"
#include "tests/engine/EngineRig.h"
#include "tests/engine/LogRows.h"

namespace {

enum class Start { Job, Check, Pin };

struct Scenario {
    const char* Name;
    Start How;
    std::function<void(EngineRig<>&)> Arrange;
    RunKind Kind;
    RunResult Result;
    std::string FinalRow;  // empty: the run ends before any final row
};

// A modem at 9600 that answers every command as ModemAt does, and the PIN job's
// questions as a card whose request is already off.
struct Willing {
    ModemAt Modem{9600};
    std::optional<std::string> operator()(uint32_t speed, const std::string& command) {
        if (speed == 9600 && command == "AT+CPIN?\r") return "\r\n+CPIN: READY\r\n\r\nOK\r\n";
        if (speed == 9600 && command == "AT+CLCK=\"SC\",2\r") return "\r\n+CLCK: 0\r\n\r\nOK\r\n";
        return Modem(speed, command);
    }
};

const Scenario Scenarios[] = {
    {"JobConfigures", Start::Job, [](auto& rig) { rig.Script->Answer = Willing{}; }, RunKind::Job,
     RunResult::Succeeded, Succeeded},
    {"JobFindsNoModem", Start::Job, [](auto&) {}, RunKind::Job, RunResult::Failed, NotSucceeded},
    {"JobRefusedByTheModem", Start::Job,
     [](auto& rig) {
         rig.Script->Answer = [modem = Willing{}](uint32_t speed, const std::string& command) mutable {
             return command.rfind("ATS0=", 0) == 0 ? std::optional<std::string>("\r\nERROR\r\n") : modem(speed, command);
         };
     },
     RunKind::Job, RunResult::Failed, NotSucceeded},
    {"JobWithoutASpeedSendsNothing", Start::Job, [](auto& rig) { rig.Win.ComboSelect(ControlId::SpeedSelector, -1); },
     RunKind::Job, RunResult::Failed, NotSucceeded},
    {"JobOnAPortThatWillNotOpen", Start::Job, [](auto& rig) { rig.Script->OpenFails = true; }, RunKind::Job,
     RunResult::PortNotOpened, ""},
    {"JobStoppedWhileOpening", Start::Job,
     [](auto& rig) {
         rig.Script->OpenFails = true;
         rig.Script->OnFailedOpen = [&rig] { rig.Engine->StopRun(); };
     },
     RunKind::Job, RunResult::Stopped, NotSucceeded},
    {"CheckAnswered", Start::Check, [](auto& rig) { rig.Script->Answer = Willing{}; }, RunKind::Check,
     RunResult::Succeeded, CheckMsg::Answered},
    {"CheckNotAnswered", Start::Check, [](auto&) {}, RunKind::Check, RunResult::Failed, CheckMsg::NotAnswered},
    {"CheckPortFails", Start::Check,
     [](auto& rig) {
         rig.Script->Answer = Willing{};
         rig.Script->OnWrite = [&rig](const std::string& command) {
             if (command == "AT+CGSN\r") rig.Script->Vanished = true;
         };
     },
     RunKind::Check, RunResult::PortFailed, CheckMsg::PortFailed},
    {"CheckStoppedWhileOpening", Start::Check,
     [](auto& rig) {
         rig.Script->OpenFails = true;
         rig.Script->OnFailedOpen = [&rig] { rig.Engine->StopRun(); };
     },
     RunKind::Check, RunResult::Stopped, CheckMsg::Stopped},
    {"PinRequestAlreadyOff", Start::Pin, [](auto& rig) { rig.Script->Answer = Willing{}; }, RunKind::Pin,
     RunResult::Succeeded, Succeeded},
    {"PinFindsNoModem", Start::Pin, [](auto&) {}, RunKind::Pin, RunResult::Failed, NotSucceeded},
};

class RunOutcomeTest : public testing::TestWithParam<Scenario> {};

TEST_P(RunOutcomeTest, IsToldOnceWithTheResultItsFinalRowSays) {
    const Scenario& s = GetParam();
    std::mutex lock;
    std::vector<RunKind> began;
    std::vector<RunOutcome> ended;
    std::atomic<bool> idleWhenTold{false};
    EngineRig<> rig;
    rig.Engine->OnRunBegan = [&](RunKind kind) {
        std::lock_guard guard(lock);
        began.push_back(kind);
    };
    rig.Engine->OnRunEnded = [&](const RunOutcome& outcome) {
        // A front end may start the next run from here: the engine must take it.
        idleWhenTold = rig.Engine->Busy == 0;
        std::lock_guard guard(lock);
        ended.push_back(outcome);
    };
    rig.Init();
    rig.Choose(1, 3, 0);
    s.Arrange(rig);
    if (s.How == Start::Job) rig.Engine->OnStartStop();
    else if (s.How == Start::Check) rig.Engine->OnCheckModem();
    else ASSERT_TRUE(rig.Engine->OnSimPin("1234"));
    ASSERT_TRUE(rig.Win.WaitFor([&] {
        std::lock_guard guard(lock);
        return !ended.empty();
    }));
    ASSERT_TRUE(rig.WaitIdle());
    // The engine's end is no run: nothing more is told.
    rig.Engine->EndWorker();

    std::lock_guard guard(lock);
    EXPECT_EQ(began, std::vector<RunKind>{s.Kind});
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].Kind, s.Kind);
    EXPECT_EQ(ended[0].Result, s.Result);
    EXPECT_TRUE(idleWhenTold);
    const Rows log = rig.Log();
    const std::string last = log.empty() ? std::string() : log.back();
    if (s.FinalRow.empty()) {
        EXPECT_NE(last, Succeeded);
        EXPECT_NE(last, NotSucceeded);
    } else {
        EXPECT_EQ(last, s.FinalRow);
    }
    // A check that found the modem says so, whatever ended it later.
    const bool found = s.How == Start::Check && (s.Result == RunResult::Succeeded || s.Result == RunResult::PortFailed);
    EXPECT_EQ(ended[0].Findings.Answered, found);
}

INSTANTIATE_TEST_SUITE_P(Runs, RunOutcomeTest, testing::ValuesIn(Scenarios),
                         [](const testing::TestParamInfo<Scenario>& info) { return std::string(info.param.Name); });

}  // namespace
