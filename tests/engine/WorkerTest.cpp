// The engine's start-up, the Start/Stop hand-over and its ending in every state of a job.

#include <gtest/gtest.h>

#include <condition_variable>

#include "tests/engine/EngineRig.h"
#include "tests/engine/LogRows.h"

namespace {


TEST(InitEngine, FillsTheSelectorsAndRestoresDefaultsOnAFirstStart) {
    EngineRig<> rig;
    rig.Win.ComboAppend(ControlId::ModelSelector, "stale entry");
    rig.Init();
    EXPECT_EQ(rig.Win.Items(ControlId::ModelSelector),
              (Rows{"Siemens TC35i", "Siemens MC35i", "Cinterion MC52i", "Novacom MC52i", "Novacom GNS-300RS",
                    "Teleofis RX100"}));
    EXPECT_EQ(rig.Win.Items(ControlId::SpeedSelector),
              (Rows{"1200", "2400", "4800", "9600", "14400", "19200", "38400", "56000", "57600", "115200"}));
    EXPECT_EQ(rig.Win.ComboSelected(ControlId::ModelSelector), 0);
    EXPECT_EQ(rig.Win.ComboText(ControlId::SpeedSelector), "9600");
    EXPECT_EQ(rig.Win.ComboSelected(ControlId::PlaceSelector), 0);
    EXPECT_TRUE(rig.Win.WaitFor([&] { return rig.Win.Text(ControlId::StartStop) == "Старт!"; }));
    EXPECT_FALSE(rig.Settings.Has(CommPortSection, "ModemType"));
}

TEST(InitEngine, RestoresStoredChoicesAndLeavesOutOfRangeOnesUnselected) {
    EngineRig<> rig;
    rig.Settings.WriteInt(CommPortSection, "ModemType", 4);
    rig.Settings.WriteInt(CommPortSection, "BaudRateInd", 10);
    rig.Settings.WriteInt(CommPortSection, "IsLocal", 1);
    rig.Init();
    EXPECT_EQ(rig.Win.ComboSelected(ControlId::ModelSelector), 4);
    EXPECT_EQ(rig.Win.ComboSelected(ControlId::SpeedSelector), -1);
    EXPECT_EQ(rig.Win.ComboSelected(ControlId::PlaceSelector), 1);
    EXPECT_EQ(rig.Engine->IsLocal, 1);
}

TEST(Job, StoresTheChoicesAndOpensTheChosenPort) {
    EngineRig<> rig;
    rig.Script->Answer = ModemAt{9600};
    rig.Init();
    rig.Choose(1, 5, 1, 4);
    ASSERT_TRUE(rig.RunJob());
    EXPECT_EQ(rig.Log().front(), "Открытие СОМ5");
    EXPECT_EQ(rig.Script->OpenedNames(), Rows{"\\\\.\\COM5"});
    EXPECT_EQ(rig.Settings.ReadInt(CommPortSection, "CommNum", -9), 4);
    EXPECT_EQ(rig.Settings.ReadInt(CommPortSection, "ModemType", -9), 1);
    EXPECT_EQ(rig.Settings.ReadInt(CommPortSection, "BaudRateInd", -9), 5);
    EXPECT_EQ(rig.Settings.ReadInt(CommPortSection, "IsLocal", -9), 1);
    // The device speed comes from the selector's text.
    const auto written = rig.Script->Written();
    EXPECT_NE(std::find(written.begin(), written.end(), "AT+IPR=19200\r"), written.end());
}

// Speed 0 would be AT+IPR=0, autobaud: the job sends nothing and fails quietly instead.
TEST(Job, NoSpeedSelectedStoresMinusOneAndSendsNothing) {
    EngineRig<> rig;
    rig.Script->Answer = ModemAt{9600};
    rig.Init();
    rig.Choose(1, -1, 0);
    ASSERT_TRUE(rig.RunJob());
    EXPECT_EQ(rig.Settings.ReadInt(CommPortSection, "BaudRateInd", -9), -1);
    EXPECT_EQ(rig.Engine->DeviceSpeed, 0);
    EXPECT_EQ(rig.Log(), (Rows{"Не выбрана скорость! Выберите скорость СОМ-порта прибора.", NotSucceeded}));
    EXPECT_TRUE(rig.Script->OpenedNames().empty());
    EXPECT_TRUE(rig.Script->Written().empty());
    EXPECT_TRUE(rig.Win.Messages().empty());
}

TEST(Job, PortThatCannotBeOpenedLeavesTheOpeningLineAlone) {
    EngineRig<> rig;
    rig.Script->OpenFails = true;
    rig.Init();
    rig.Choose(2, 4, 1, 2);
    rig.Engine->OnStartStop();
    ASSERT_TRUE(rig.Win.WaitFor([&] { return !rig.Win.Messages().empty(); }));
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(rig.Log(), Rows{"Открытие СОМ3"});
    EXPECT_EQ(rig.Script->OpenedNames().size(), 5u);
    EXPECT_EQ(rig.Win.Messages()[0].Text, "Последовательный порт не готов!Возможно, он занят другим приложением!");
    EXPECT_EQ(rig.Win.Messages()[0].Caption, "Информация");
    EXPECT_EQ(rig.Settings.ReadInt(CommPortSection, "CommNum", -9), 2);
    EXPECT_EQ(rig.Settings.ReadInt(CommPortSection, "ModemType", -9), 2);
    EXPECT_EQ(rig.Settings.ReadInt(CommPortSection, "BaudRateInd", -9), 4);
    EXPECT_EQ(rig.Settings.ReadInt(CommPortSection, "IsLocal", -9), 1);
}

TEST(Job, EachJobStartsWithAnEmptyLog) {
    EngineRig<> rig;
    rig.Script->Answer = ModemAt{9600};
    rig.Init();
    rig.Choose(1, 3, 0);
    ASSERT_TRUE(rig.RunJob());
    const size_t rows = rig.Log().size();
    rig.Engine->OnStartStop();
    ASSERT_TRUE(rig.Win.WaitFor([&] { return rig.Script->OpenedNames().size() == 2; }));
    ASSERT_TRUE(rig.WaitIdle());
    const Rows second = rig.Log();
    EXPECT_EQ(second.size(), rows);
    EXPECT_EQ(std::count(second.begin(), second.end(), "Открытие СОМ1"), 1);
}

TEST(StartStop, StopDuringTheSearchShowsNoBox) {
    EngineRig<> rig;
    ASSERT_TRUE(rig.StartWaitingJobUntil(Search(9600)));
    ASSERT_TRUE(rig.Win.WaitFor([&] { return rig.Engine->Busy == 1; }));
    rig.Engine->OnStartStop();
    EXPECT_EQ(rig.Engine->StopRequested, 1);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(rig.Log(), (Rows{"Открытие СОМ1", Search(9600), NotSucceeded}));
    EXPECT_TRUE(rig.Win.Messages().empty());
}

TEST(StartStop, StopDuringTheOpenAttemptsEndsThemAndTheJobWithoutABox) {
    EngineRig<> rig;
    rig.Script->OpenFails = true;
    rig.Script->OnFailedOpen = [&] { rig.Engine->OnStartStop(); };
    rig.Init();
    rig.Choose(0, 3, 0);
    rig.Engine->OnStartStop();
    ASSERT_TRUE(rig.Win.WaitFor([&] { return rig.Log().size() == 2; }));
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(rig.Log(), (Rows{"Открытие СОМ1", NotSucceeded}));
    EXPECT_EQ(rig.Script->OpenedNames().size(), 1u);
    EXPECT_TRUE(rig.Win.Messages().empty());
}

TEST(StartStop, StopWhileACommandWaitsEndsAtOnceWithoutABox) {
    EngineRig<> rig;
    rig.Script->Answer = [modem = ModemAt{9600}](uint32_t speed, const std::string& command) mutable {
        return command == "ATS7=60\r" ? std::nullopt : modem(speed, command);
    };
    ASSERT_TRUE(rig.StartWaitingJobUntil(Exec("ATS7=60")));
    rig.Engine->OnStartStop();
    ASSERT_TRUE(rig.WaitIdle());
    const Rows log = rig.Log();
    EXPECT_EQ(Rows(log.end() - 2, log.end()), (Rows{Exec("ATS7=60"), NotSucceeded}));
    EXPECT_TRUE(rig.Win.Messages().empty());
    EXPECT_EQ(rig.Script->Written().back(), "ATS7=60\r");
}

// A stop pressed after the job's last reply wait (here: while the port is being closed)
// must not end the next job at its first wait.
TEST(StartStop, StaleStopDoesNotFailTheNextJob) {
    EngineRig<> rig;
    rig.Script->Answer = ModemAt{9600};
    rig.Script->OnClose = [&] { rig.Engine->OnStartStop(); };
    rig.Init();
    rig.Choose(1, 3, 0);
    ASSERT_TRUE(rig.RunJob());
    EXPECT_EQ(rig.Log().back(), Succeeded);
    EXPECT_TRUE(rig.Engine->StopEvent.IsSignalled());

    rig.Script->OnClose = nullptr;
    ASSERT_TRUE(rig.RunJob());
    EXPECT_EQ(rig.Log().back(), Succeeded);
    EXPECT_TRUE(rig.Win.Messages().empty());
    EXPECT_EQ(rig.Engine->StopRequested, 0);
}

TEST(Ending, WithoutAWorkerAndWhenIdle) {
    {
        EngineRig<> neverStarted;
    }
    EngineRig<> idle;
    idle.Init();
    ASSERT_TRUE(idle.WaitIdle());
    idle.Engine->EndWorker();
    idle.Engine->EndWorker();
    EXPECT_FALSE(idle.Engine->Worker.joinable());
    idle.Engine.reset();
}

// The window ends the worker before its parts go; the engine's own destruction later
// must not reach the window again.
class CountingWindow : public RecordingToolkit {
public:
    std::atomic<int> Cancels{0};
    void CancelRequests() override {
        ++Cancels;
        RecordingToolkit::CancelRequests();
    }
};

TEST(Ending, OnlyTheFirstEndingReachesTheWindow) {
    EngineRig<CountingWindow> rig;
    rig.Init();
    rig.Engine->EndWorker();
    rig.Engine->EndWorker();
    rig.Engine.reset();
    EXPECT_EQ(rig.Win.Cancels, 1);
}

TEST(Ending, MidJobAddsNoRowAndClosesThePort) {
    EngineRig<> rig;
    ASSERT_TRUE(rig.StartWaitingJobUntil(Search(9600)));
    rig.Engine.reset();
    EXPECT_EQ(rig.Log(), (Rows{"Открытие СОМ1", Search(9600)}));
    EXPECT_TRUE(rig.Win.Messages().empty());
    EXPECT_FALSE(rig.Script->IsOpen());
}

// A window whose message box stays open until the window goes away.
class BoxHoldingWindow : public RecordingToolkit {
public:
    BoxHoldingWindow() {
        OnMessage = [this](const Message&) {
            std::unique_lock lock(BoxMutex);
            BoxClosed.wait(lock, [this] { return Closing; });
        };
    }
    void CancelRequests() override {
        RecordingToolkit::CancelRequests();
        {
            std::lock_guard lock(BoxMutex);
            Closing = true;
        }
        BoxClosed.notify_all();
    }

private:
    std::mutex BoxMutex;
    std::condition_variable BoxClosed;
    bool Closing = false;
};

TEST(Ending, WhileAFailureBoxIsOpen) {
    EngineRig<BoxHoldingWindow> rig;
    rig.Script->Answer = [](uint32_t, const std::string&) { return std::optional<std::string>("\r\nBUSY\r\n"); };
    rig.Init();
    rig.Choose(1, 3, 0);
    rig.Engine->OnStartStop();
    ASSERT_TRUE(rig.Win.WaitFor([&] { return rig.Win.Messages().size() == 1; }));
    rig.Engine.reset();
    const Rows log = rig.Log();
    EXPECT_NE(log.back(), NotSucceeded);
    EXPECT_FALSE(rig.Script->IsOpen());
}

}  // namespace
