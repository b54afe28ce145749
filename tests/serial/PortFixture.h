#pragma once
// A SerialPort over a scripted platform, with a recording window and a stop event.

#include <gtest/gtest.h>

#include <memory>

#include "os/Event.h"
#include "serial/SerialPort.h"
#include "serial/SysError.h"
#include "tests/serial/ScriptedPlatform.h"
#include "tests/support/RecordingToolkit.h"

// Platform answers in the kinds the logic tells apart, with the platform's own codes.
// Code 5 has a text everywhere: EIO on Linux, ERROR_ACCESS_DENIED on Windows.
inline const SysResult Aborted{ErrorKind::Aborted, AbortedCode};
inline const SysResult Pending{ErrorKind::Pending, PendingCode};
inline constexpr SysResult IoError{ErrorKind::Other, 5};
inline constexpr SysResult Fine{};

// The shown message of a failed read or write with the code of result.
inline std::string TransferFailure(const char* call, const SysResult& result) {
    return std::string("Ошибка выполнения ") + call + " (код " + std::to_string(result.Code) + ")!";
}

class PortFixture : public testing::Test {
protected:
    PortFixture() : Fake(new ScriptedPlatform), Port(std::unique_ptr<SerialPlatform>(Fake)) {
        Port.OwnerWindow = &Window;
        Port.StopEventRef = &Stop;
    }

    void OpenPort() {
        ASSERT_EQ(Port.Open(3), 0);
        Fake->Calls.clear();
    }

    std::vector<std::string> MessageTexts() {
        std::vector<std::string> texts;
        for (const auto& m : Window.Messages()) {
            EXPECT_EQ(m.Caption, "Информация");
            texts.push_back(m.Text);
        }
        return texts;
    }

    ScriptedPlatform* Fake;  // owned by Port
    SerialPort Port;
    RecordingToolkit Window;
    Event Stop;
};
