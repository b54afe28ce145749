#pragma once
// An engine wired to a recording window and a scripted modem, as the main window wires
// it: the window first, then InitEngine.

#include <memory>
#include <string>
#include <vector>

#include "engine/CheckRows.h"
#include "engine/ConfigEngine.h"
#include "engine/MemorySettings.h"
#include "frontend/WindowChoices.h"
#include "tests/engine/LogRows.h"
#include "tests/engine/ScriptedPlatform.h"
#include "tests/support/RecordingToolkit.h"
#include "toolkit/ControlIds.h"

// Asks a rig for the machine's own serial services in place of the scripted modem.
struct SystemPort {};

template <typename Window = RecordingToolkit> struct EngineRig {
    MemorySettings Settings;
    Window Win;
    std::shared_ptr<ModemScript> Script = std::make_shared<ModemScript>();
    // The device's modem of a test call, on the engine's second port and the same clock.
    std::shared_ptr<ModemScript> DeviceScript = std::make_shared<ModemScript>();
    std::unique_ptr<ConfigEngine> Engine;

    EngineRig() {
        DeviceScript->Clock = Script->Clock;
        Wire(std::make_unique<ScriptedPlatform>(Script), std::make_unique<ScriptedPlatform>(DeviceScript));
    }
    explicit EngineRig(SystemPort) { Wire(nullptr, nullptr); }

    void Wire(std::unique_ptr<SerialPlatform> platform, std::unique_ptr<SerialPlatform> answerPlatform) {
        Engine = std::make_unique<ConfigEngine>(Settings, std::move(platform), std::move(answerPlatform));
        gFillWindowChoices(Win, 0);
        Engine->SetWindow(&Win);
    }

    void Init() { Engine->InitEngine(); }

    void Choose(int model, int speedIndex, int place, int comIndex = 0) {
        Win.ComboSelect(ControlId::ModelSelector, model);
        Win.ComboSelect(ControlId::SpeedSelector, speedIndex);
        Win.ComboSelect(ControlId::PlaceSelector, place);
        Win.ComboSelect(ControlId::ComSelector, comIndex);
    }

    // Starts a job (model 1, 9600, at the device) whose reads wait where the script is
    // silent, and waits until it has reported row.
    bool StartWaitingJobUntil(const std::string& row) {
        Script->BlockWhenSilent = true;
        Init();
        Choose(1, 3, 0);
        Engine->OnStartStop();
        return WaitForRow(row);
    }

    std::vector<std::string> Log() { return Win.Rows(ControlId::LogView); }

    bool LastRowIs(const std::string& text) {
        const auto rows = Log();
        return !rows.empty() && rows.back() == text;
    }

    // Starts a job and waits until the worker is idle again after its final line. The
    // previous job's rows go first, so that its final line is not taken for this one's.
    bool RunJob() {
        Win.LogDeleteAll(ControlId::LogView);
        Engine->OnStartStop();
        return Win.WaitFor([&] { return LastRowIs(Succeeded) || LastRowIs(NotSucceeded); }) && WaitIdle();
    }

    // The same for a modem check.
    bool RunCheck() {
        Win.LogDeleteAll(ControlId::LogView);
        Engine->OnCheckModem();
        return Win.WaitFor([&] {
            return LastRowIs(CheckMsg::Answered) || LastRowIs(CheckMsg::NotAnswered) || LastRowIs(CheckMsg::Stopped);
        }) && WaitIdle();
    }

    bool WaitIdle() {
        return Win.WaitFor([&] {
            return Engine->Busy == 0 && Win.Text(ControlId::StartStop) == "Старт!" && !Script->IsOpen();
        });
    }

    bool WaitForRow(const std::string& text) {
        return Win.WaitFor([&] {
            for (const auto& row : Log())
                if (row == text) return true;
            return false;
        });
    }
};

// A modem that answers "AT" at one line speed only and every command at any speed, in
// the form that its last ATV or AT&F chose (each takes effect before its own answer);
// it echoes nothing.
struct ModemAt {
    uint32_t Speed;
    bool Numeric = false;

    std::optional<std::string> operator()(uint32_t speed, const std::string& command) {
        if (command == "AT\r" && speed != Speed) return std::nullopt;
        if (command == "ATV0\r") Numeric = true;
        if (command == "ATV1\r" || command == "AT&F\r") Numeric = false;
        return Numeric ? std::string("0\r") : std::string("\r\nOK\r\n");
    }
};
