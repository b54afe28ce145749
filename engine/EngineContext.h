#pragma once
// The engine as a run sees it (engine/RunContext.h).

#include "engine/RunContext.h"

class ConfigEngine;

class EngineContext final : public RunContext {
public:
    explicit EngineContext(ConfigEngine& engine) : Engine(engine) {}

    bool StopAsked() const override;
    uint32_t Now() override;
    void Progress(const std::string& row) override;
    void Failure(const std::string& row) override;
    void Status(const std::string& text) override;
    void Unasked(const UnaskedLine& line) override;
    SearchEnd FindModem(SerialPort& port) override;
    RunOutcome& Outcome() override;

private:
    ConfigEngine& Engine;
};
