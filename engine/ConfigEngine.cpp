// The engine's life: construction, start-up, the worker loop, the Start/Stop hand-over
// and the ending that takes the place of killing the worker.

#include "engine/ConfigEngine.h"

#include <cstdint>

#include "engine/Format.h"
#include "engine/Messages.h"
#include "toolkit/ControlIds.h"
#include "toolkit/Toolkit.h"

namespace {

constexpr const char* ModemTypeName = "ModemType";
constexpr const char* BaudRateIndName = "BaudRateInd";
constexpr const char* IsLocalName = "IsLocal";
constexpr const char* CommNumName = "CommNum";
constexpr int32_t DefaultSpeedIndex = 3;

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

ConfigEngine::ConfigEngine(IntSettings& settings, std::unique_ptr<SerialPlatform> platform)
    : Port(platform ? std::move(platform) : gMakeSystemSerialPlatform()), Settings(settings) {
    Port.CancelEventRef = &Ending;
    Port.StopEventRef = &StopEvent;
}

ConfigEngine::~ConfigEngine() {
    EndWorker();
    Port.Close();
    // The events go before the port does.
    Port.CancelEventRef = nullptr;
    Port.StopEventRef = nullptr;
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
}

int32_t ConfigEngine::InitEngine() {
    Owner->ComboClear(ControlId::ModelSelector);
    for (const char* name : ModemCatalogue) Owner->ComboAppend(ControlId::ModelSelector, name);
    for (const char* speed : SpeedTable) Owner->ComboAppend(ControlId::SpeedSelector, speed);
    Owner->ComboSelect(ControlId::ModelSelector, Settings.ReadInt(CommPortSection, ModemTypeName, 0));
    Owner->ComboSelect(ControlId::SpeedSelector, Settings.ReadInt(CommPortSection, BaudRateIndName, DefaultSpeedIndex));
    IsLocal = Settings.ReadInt(CommPortSection, IsLocalName, 0);
    Owner->ComboSelect(ControlId::PlaceSelector, IsLocal);
    CommIndex = 0;
    Worker = std::thread(WorkerProc, this);
    return 1;
}

void ConfigEngine::OnStartStop() {
    if (Busy == 1) return StopRun();
    CommIndex = Owner->ComboSelected(ControlId::ComSelector);
    Settings.WriteInt(CommPortSection, CommNumName, CommIndex);
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

// Runs jobs until the engine ends. In place of being killed from outside, it looks at
// the ending after every wait; the port's waits end at once then, so no job holds it long.
void ConfigEngine::WorkerProc(ConfigEngine* engine) {
    for (;;) {
        if (engine->IsEnding()) return;
        engine->Busy = 0;
        if (Toolkit* w = engine->Window()) w->SetControlText(ControlId::StartStop, Msg::StartCaption);
        const bool started = engine->StartEvent.Wait();
        engine->Busy = 1;
        if (Toolkit* w = engine->Window()) w->SetControlText(ControlId::StartStop, Msg::StopCaption);
        if (engine->IsEnding()) return;
        // Only the start signal starts a run: a failed wait goes back to waiting.
        if (!started) continue;
        if (engine->NextRun == RunKind::Check) engine->RunCheckJob();
        else if (engine->NextRun == RunKind::Pin) engine->RunPinJob();
        else engine->RunJob();
    }
}

void ConfigEngine::RunJob() {
    if (Toolkit* w = Window()) w->LogDeleteAll(ControlId::LogView);
    // A window that is going away answers -1 and empty texts; those are not stored.
    auto selected = [this](int id, const char* name) {
        Toolkit* w = Window();
        const int32_t index = w ? w->ComboSelected(id) : -1;
        if (!IsEnding()) Settings.WriteInt(CommPortSection, name, index);
        return index;
    };
    ModelIndex = selected(ControlId::ModelSelector, ModemTypeName);
    selected(ControlId::SpeedSelector, BaudRateIndName);
    Toolkit* w = Window();
    DeviceSpeed = LeadingNumber(w ? w->ComboText(ControlId::SpeedSelector) : std::string());
    IsLocal = selected(ControlId::PlaceSelector, IsLocalName);
    if (IsEnding()) return;

    const int32_t port = CommIndex + 1;
    ReportProgress(gFormat(Msg::Opening, port));
    if (Port.Open(port) != 0) {
        // A stop during the open attempts ends the job as a stop at any later point does.
        if (StopRequested) ReportProgress(Msg::NotSucceeded);
        return;
    }
    BuildSteps();
    RunSteps();
    Port.Close();
}
