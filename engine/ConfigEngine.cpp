// The engine's life: construction, start-up, the worker loop, the Start/Stop hand-over
// and the ending that takes the place of killing the worker.

#include "engine/ConfigEngine.h"

#include <cstdint>

#include "engine/Format.h"
#include "engine/Messages.h"
#include "engine/ModemChoices.h"
#include "engine/StepRunner.h"
#include "toolkit/ControlIds.h"
#include "toolkit/Toolkit.h"

namespace {

// The decimal number at the start of a speed text; 0 when it does not begin with a digit.
int32_t LeadingNumber(const std::string& text) {
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > INT32_MAX) return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

}  // namespace

ConfigEngine::ConfigEngine(IntSettings& settings, std::unique_ptr<SerialPlatform> platform,
                           std::unique_ptr<SerialPlatform> answerPlatform)
    : Port(platform ? std::move(platform) : gMakeSystemSerialPlatform()),
      AnswerPort(answerPlatform ? std::move(answerPlatform) : gMakeSystemSerialPlatform()), Settings(settings) {
    for (SerialPort* port : {&Port, &AnswerPort}) {
        port->CancelEventRef = &Ending;
        port->StopEventRef = &StopEvent;
    }
}

ConfigEngine::~ConfigEngine() {
    EndWorker();
    // The events go before the ports do.
    for (SerialPort* port : {&Port, &AnswerPort}) {
        port->Close();
        port->CancelEventRef = nullptr;
        port->StopEventRef = nullptr;
    }
}

// Only the first call touches the window: by the time the destructor calls it again, a
// window that derives from the engine may have released its parts. The window's requests
// are cancelled before the ending wakes the worker, or the worker, cut loose from a wait,
// could still put up a message box before the cancelling lands.
void ConfigEngine::EndWorker() {
    if (!IsEnding()) {
        if (Owner) Owner->CancelRequests();
        Ending.Signal();
        StartEvent.Signal();
    }
    if (Worker.joinable()) Worker.join();
}

void ConfigEngine::SetWindow(Toolkit* window) {
    Owner = window;
    Port.OwnerWindow = window;
    AnswerPort.OwnerWindow = window;
}

int32_t ConfigEngine::InitEngine() { return InitEngine(gReadStoredChoices(Settings)); }

int32_t ConfigEngine::InitEngine(const ModemChoices& choices) {
    Owner->ComboClear(ControlId::ModelSelector);
    for (const char* name : ModemCatalogue) Owner->ComboAppend(ControlId::ModelSelector, name);
    for (const char* speed : SpeedTable) Owner->ComboAppend(ControlId::SpeedSelector, speed);
    Owner->ComboSelect(ControlId::ComSelector, choices.ComIndex);
    Owner->ComboSelect(ControlId::ModelSelector, choices.ModelIndex);
    Owner->ComboSelect(ControlId::SpeedSelector, choices.SpeedIndex);
    IsLocal = choices.Place;
    Owner->ComboSelect(ControlId::PlaceSelector, IsLocal);
    // A damaged stored choice leaves its selector blank; the operator is told which to make.
    if (const char* missing = MissingChoice(Owner->ComboSelected(ControlId::ComSelector),
                                            Owner->ComboSelected(ControlId::ModelSelector),
                                            LeadingNumber(Owner->ComboText(ControlId::SpeedSelector)),
                                            Owner->ComboSelected(ControlId::PlaceSelector)))
        ReportProgress(missing);
    CommIndex = 0;
    // Without its events the worker could only fail at its first wait: it is not started,
    // and the row says why.
    if (!Runnable()) {
        ReportFailure(Msg::WorkerFailed);
        return 1;
    }
    Worker = std::thread(WorkerProc, this);
    return 1;
}

const char* ConfigEngine::MissingChoice(int32_t com, int32_t model, int32_t speed, int32_t place) {
    if (com < 0) return Msg::ChooseCom;
    if (model < 0 || model >= static_cast<int32_t>(ModemCatalogue.size())) return Msg::ChooseModel;
    if (speed <= 0) return Msg::ChooseSpeed;
    if (place != 0 && place != 1) return Msg::ChoosePlace;
    return nullptr;
}

void ConfigEngine::OnStartStop() {
    if (Busy == 1) return StopRun();
    CommIndex = Owner->ComboSelected(ControlId::ComSelector);
    gStoreChoice(Settings, Choice::Com, CommIndex);
    Launch(RunKind::Job);
}

void ConfigEngine::StopRun() {
    StopRequested = 1;
    StopEvent.Signal();
}

void ConfigEngine::Launch(RunKind kind) {
    NextRun = kind;
    StopRequested = 0;
    // No job runs now, so a pending stop can only be left over from the last one; it
    // must not end the next job at its first wait.
    StopEvent.Poll();
    StartEvent.Signal();
}

bool ConfigEngine::Runnable() const { return StopEvent.Valid() && StartEvent.Valid() && Ending.Valid(); }

// Runs jobs until the engine ends. In place of being killed from outside, it looks at
// the ending after every wait; the port's waits end at once then, so no job holds it long.
void ConfigEngine::WorkerProc(ConfigEngine* engine) {
    for (bool ran = false;; ran = true) {
        if (engine->IsEnding()) return;
        engine->Busy = 0;
        // Told once a new run can be started: a front end that starts one at once
        // must not find the engine still busy.
        if (ran && engine->OnRunEnded) engine->OnRunEnded(engine->Outcome);
        if (Toolkit* w = engine->Window()) w->SetControlText(ControlId::StartStop, Msg::StartCaption);
        const bool started = engine->StartEvent.Wait();
        if (!started && !engine->IsEnding()) {
            // A wait that fails once fails for good: one error, and the worker ends
            // rather than spin.
            engine->ShowError(Msg::WorkerFailed);
            return;
        }
        engine->Busy = 1;
        if (engine->IsEnding()) return;
        const RunKind kind = engine->NextRun;
        engine->Outcome = RunOutcome{};
        engine->Outcome.Kind = kind;
        if (engine->OnRunBegan) engine->OnRunBegan(kind);
        if (Toolkit* w = engine->Window()) {
            w->SetControlText(ControlId::StartStop, Msg::StopCaption);
            w->LogDeleteAll(ControlId::LogView);
        }
        switch (kind) {
        case RunKind::Check: engine->RunCheckJob(); break;
        case RunKind::Signal: engine->RunSignalJob(); break;
        case RunKind::Pin: engine->RunPinJob(); break;
        case RunKind::Call: engine->RunCallJob(); break;
        case RunKind::Job: engine->RunJob(); break;
        }
    }
}

void ConfigEngine::RunJob() {
    // A window that is going away answers -1 and empty texts; those are not stored.
    auto selected = [this](int id, Choice choice) {
        Toolkit* w = Window();
        const int32_t index = w ? w->ComboSelected(id) : -1;
        if (!IsEnding()) gStoreChoice(Settings, choice, index);
        return index;
    };
    ModelIndex = selected(ControlId::ModelSelector, Choice::Model);
    selected(ControlId::SpeedSelector, Choice::Speed);
    Toolkit* w = Window();
    DeviceSpeed = LeadingNumber(w ? w->ComboText(ControlId::SpeedSelector) : std::string());
    IsLocal = selected(ControlId::PlaceSelector, Choice::Place);
    if (IsEnding()) return;

    // An empty or damaged choice sends nothing to the modem, not even the search.
    if (const char* missing = MissingChoice(CommIndex, ModelIndex, DeviceSpeed, IsLocal)) {
        ReportProgress(missing);
        Finish(RunResult::Failed);
        return;
    }
    BuildSteps();
    JobRun job(Context, Port, Steps, SimHint);
    RunInFrame(job, {{&Port, CommIndex + 1}});
}
