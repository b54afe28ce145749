// A start event whose wait fails, made from a descriptor that polls as an error.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

#include "tests/engine/EngineRig.h"

namespace {

// Counts the times the worker came back from its wait.
class CaptionCountingWindow : public RecordingToolkit {
public:
    std::atomic<int> StopCaptions{0};
    void SetControlText(int id, const std::string& text) override {
        if (id == ControlId::StartStop && text == "Стоп!") ++StopCaptions;
        RecordingToolkit::SetControlText(id, text);
    }
};

TEST(Worker, AFailedWaitEndsTheWorkerWithOneError) {
    // The ending's signal to the broken event must not end the test.
    const auto previous = signal(SIGPIPE, SIG_IGN);
    {
        EngineRig<CaptionCountingWindow> rig;
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        // The write end of a pipe without a reader polls as an error: every wait fails.
        close(pipeEnds[0]);
        dup2(pipeEnds[1], static_cast<int>(rig.Engine->StartEvent.NativeHandle()));
        close(pipeEnds[1]);
        rig.Init();
        rig.Choose(1, 3, 0);
        ASSERT_TRUE(rig.Win.WaitFor([&] { return !rig.Win.Messages().empty(); }));
        // The worker has ended: joining it returns, and nothing spun in the meantime.
        rig.Engine->Worker.join();
        EXPECT_EQ(rig.Win.Messages().size(), 1u);
        EXPECT_EQ(rig.Win.StopCaptions, 0);
        EXPECT_TRUE(rig.Log().empty());
        EXPECT_TRUE(rig.Script->OpenedNames().empty());
        EXPECT_FALSE(rig.Settings.Has(CommPortSection, "ModemType"));
    }
    signal(SIGPIPE, previous);
}

}  // namespace
