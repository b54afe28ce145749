#pragma once
// kestrelix-cli run as a child process.

#include "tests/support/ChildProcess.h"

class CliProcess : public ChildProcess {
public:
    explicit CliProcess(std::vector<std::string> args, const std::optional<std::string>& input = std::nullopt)
        : ChildProcess(KX_CLI_PATH, std::move(args), input) {}
};
