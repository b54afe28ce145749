#pragma once
// A SerialPort over a scripted platform, with a recording window and a stop event.

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

#include "serial/Event.h"
#include "serial/SerialPort.h"
#include "tests/serial/ScriptedPlatform.h"
#include "tests/support/RecordingToolkit.h"

// Platform answers in the kinds the logic tells apart; EINTR stands for the aborted call.
inline constexpr SysResult Aborted{ErrorKind::Aborted, EINTR};
inline constexpr SysResult Pending{ErrorKind::Pending, EAGAIN};
inline constexpr SysResult IoError{ErrorKind::Other, EIO};
inline constexpr SysResult Fine{};

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
