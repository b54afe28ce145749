#pragma once
// The object that does the utility's work: the operator's choices for one job, the
// serial port, the step list, and the worker thread that runs jobs. It reaches the
// window only through the Toolkit boundary and the settings through IntSettings.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/ConfigStep.h"
#include "engine/IntSettings.h"
#include "serial/Event.h"
#include "serial/SerialPort.h"

class Toolkit;

class ConfigEngine {
public:
    // platform: the serial services for Port; the machine's own when none is given.
    explicit ConfigEngine(IntSettings& settings, std::unique_ptr<SerialPlatform> platform = nullptr);
    // Ends the worker (EndWorker) and closes the port.
    virtual ~ConfigEngine();
    ConfigEngine(const ConfigEngine&) = delete;
    ConfigEngine& operator=(const ConfigEngine&) = delete;

    // User-interface thread.
    // The window the engine and its port report to; nullptr once the window's controls go.
    void SetWindow(Toolkit* window);
    int32_t InitEngine();
    void OnStartStop();
    // Ends the worker without waiting for its job: every wait wakes, every further window
    // request returns without effect. A window calls it before its controls go; safe twice.
    void EndWorker();

    // Reporting, on the worker thread.
    void ShowStatus(const std::string& text);
    void AppendLogRow(const std::string& text);
    void ShowError(const std::string& text);
    void ReportProgress(const std::string& text);
    void ReportFailure(const std::string& text);
    static std::string StripLineEnds(const std::string& text);

    // The job, on the worker thread.
    void BuildSteps();
    int32_t RunSteps();
    int32_t FindModem();
    int32_t SetSpeed(int32_t speed);
    int32_t SendText(const char* text);
    ReplyCode AwaitReply(const char* command, const char* expected, const char* alternative,
                         uint32_t timeoutMs, char* reply);
    static void WorkerProc(ConfigEngine* engine);

    SerialPort Port;
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

protected:
    // The window while the engine may still use it; none once the engine is ending, so
    // that no request of the worker reaches controls that are going away.
    Toolkit* Window() const;
    bool IsEnding() const;

    IntSettings& Settings;
    // Manual-reset; signalled once, when the engine is ending.
    Event Ending{Event::Reset::Manual};

private:
    void RunJob();
    // Reports the failure unless the operator stopped the run: a stop is not an error.
    void ReportFailureUnlessStopped(const std::string& text);
};
