#pragma once
// The object that does the utility's work: the operator's choices for one job, the
// serial port, the step list, and the worker thread that runs jobs. It reaches the
// window only through the Toolkit boundary and the settings through IntSettings.

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/ConfigStep.h"
#include "engine/EngineContext.h"
#include "engine/IntSettings.h"
#include "engine/RunOutcome.h"
#include "os/Event.h"
#include "serial/SerialPort.h"

class Run;
class Toolkit;
struct ModemChoices;

class ConfigEngine {
public:
    // platform: the serial services for Port, answerPlatform those for AnswerPort; the
    // machine's own when none is given.
    explicit ConfigEngine(IntSettings& settings, std::unique_ptr<SerialPlatform> platform = nullptr,
                          std::unique_ptr<SerialPlatform> answerPlatform = nullptr);
    // Ends the worker (EndWorker) and closes the port.
    virtual ~ConfigEngine();
    ConfigEngine(const ConfigEngine&) = delete;
    ConfigEngine& operator=(const ConfigEngine&) = delete;

    // User-interface thread.
    // The window the engine and its port report to; nullptr once the window's controls go.
    void SetWindow(Toolkit* window);
    // Fills the selectors and selects the stored choices, or those given by a front end
    // that keeps none, then starts the worker.
    int32_t InitEngine();
    int32_t InitEngine(const ModemChoices& choices);
    void OnStartStop();
    // Starts a modem check on the selected COM port unless a run is busy; the Start/Stop
    // button then stops it as it stops a job.
    void OnCheckModem();
    // Starts the signal job on the selected COM port unless a run is busy: it finds the
    // modem as the check does and reads its level until stopped (engine/SignalJob.cpp).
    void OnMeasureSignal();
    // Starts the PIN job on the selected COM port with pin, unless a run is busy or pin is
    // not 4 to 8 digits; false when it did not start. The engine forgets the PIN after the job.
    bool OnSimPin(const std::string& pin);
    // Starts the test call from the selected COM port, unless a run is busy or the number
    // is not one to dial; false when it did not start (engine/TestCall.cpp).
    bool OnTestCall(const CallRequest& request);
    // False when the engine's events got no descriptors (none were left): InitEngine has
    // said so and started no worker, so a front end must not wait for a run.
    bool Runnable() const;
    // Stops the run that is busy, as the button does, and never starts one.
    void StopRun();
    // Ends the worker without waiting for its job: every wait wakes, every further window
    // request returns without effect. A window calls it before its controls go; safe twice.
    void EndWorker();

    // Reporting, on the worker thread.
    void ShowStatus(const std::string& text);
    void AppendLogRow(const std::string& text);
    void ShowError(const std::string& text);
    void ReportProgress(const std::string& text);
    void ReportFailure(const std::string& text);
    // A row for a line sent unasked that the operator must know (undervoltage, shutdown),
    // once a run for the same text; nothing for any other.
    void ReportUnasked(const UnaskedLine& line);
    static std::string StripLineEnds(const std::string& text);

    // The job, on the worker thread; its steps run in engine/StepRunner.cpp.
    void BuildSteps();
    // Finds the modem on port: 1 when it answered, with the port left at its speed (every
    // run's search, through its context).
    int32_t FindModem(SerialPort& port);
    static void WorkerProc(ConfigEngine* engine);

    SerialPort Port;
    // The device's modem during a two-port test call.
    SerialPort AnswerPort;
    Event StopEvent;
    Event StartEvent;
    std::atomic<int32_t> CommIndex{0};
    int32_t ModelIndex = 0;
    int32_t DeviceSpeed = 9600;
    std::thread Worker;
    std::vector<ConfigStep> Steps;
    Toolkit* Owner = nullptr;
    int32_t SimHint = 0;
    int32_t IsLocal = 0;
    std::atomic<int32_t> Busy{0};
    std::atomic<int32_t> StopRequested{0};
    // How the current or the last run ended; read it once the run has ended.
    RunOutcome Outcome;
    // Told on the worker thread: a run has begun (a stop reaches it from now on), and a
    // run has ended, once the engine takes the next start. Set before InitEngine.
    std::function<void(RunKind)> OnRunBegan;
    std::function<void(const RunOutcome&)> OnRunEnded;
    // Between two readings of the signal job; tests make it short.
    uint32_t SignalIntervalMs = 1000;

protected:
    // The window while the engine may still use it; none once the engine is ending, so
    // that no request of the worker reaches controls that are going away.
    Toolkit* Window() const;
    bool IsEnding() const;

    IntSettings& Settings;
    // Manual-reset; signalled once, when the engine is ending.
    Event Ending{Event::Reset::Manual};

private:
    // The runs see the engine through it alone.
    friend class EngineContext;

    void Launch(RunKind kind);
    void RunJob();
    void RunCheckJob();
    void RunSignalJob();
    void RunPinJob();
    void RunCallJob();
    // The row naming the first choice a job cannot run without; none when all are made.
    static const char* MissingChoice(int32_t com, int32_t model, int32_t speed, int32_t place);
    // After a search that heard the modem but got no answer, the row that it may still
    // have been starting (engine/UnaskedRows.cpp).
    void HintStillStarting();
    // The frame of every run (engine/RunFrame.cpp): RunInFrame opens the run's ports,
    // has it work and closes them. OpenPorts opens them in order, each with its row; false
    // when one would not open, the others closed again and a stop during the attempts told
    // as the run's stop.
    struct PortToOpen {
        SerialPort* Port;
        int32_t Com;
    };
    void RunInFrame(Run& run, std::initializer_list<PortToOpen> ports);
    bool OpenPorts(std::initializer_list<PortToOpen> ports);
    void ClosePorts();
    // Sets the run's result and writes its kind's final row for it.
    void Finish(RunResult result);
    void FinishCall(CallResult end);

    std::atomic<RunKind> NextRun{RunKind::Job};
    // Set by OnSimPin before the start hand-over, wiped when the PIN job ends.
    std::string Pin;
    // Set by OnTestCall before the start hand-over.
    CallRequest Call;
    // The last unasked line told in this run: a modem repeats its warnings.
    std::string ToldUnasked;
    // What the last search learned: the speed it found the modem at, whether the port
    // failed rather than the modem kept silent, whether it heard bytes, answer or not.
    int32_t FoundSpeed = 0;
    bool SearchPortFailed = false;
    bool SearchHeard = false;
    EngineContext Context{*this};
};
