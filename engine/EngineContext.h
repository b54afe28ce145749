#pragma once
// The engine as a run sees it (engine/RunContext.h).

#include "engine/RunContext.h"

class ConfigEngine;

class EngineContext final : public RunContext {
public:
    explicit EngineContext(ConfigEngine& engine) : Engine(engine) {}

    bool StopAsked() const override;
    bool Ending() const override;
    uint32_t Now() override;
    void Progress(const std::string& row) override;
    void Failure(const std::string& row) override;
    void Status(const std::string& text) override;
    void Unasked(const UnaskedLine& line) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void ShowSignal(const SignalReading& reading) override;
    SearchEnd FindModem(SerialPort& port) override;
    int32_t FoundSpeed() const override;
    void HintStillStarting() override;
    RunOutcome& Outcome() override;
    void Finish(RunResult result) override;
    void FinishCall(CallResult end) override;

private:
    ConfigEngine& Engine;
};
