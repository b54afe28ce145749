// The hand-over events as the worker and the window use them: what a look, a take and a
// wait see after signals, and that no signal is lost between two threads.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "os/Event.h"

namespace {

enum class Step { Signal, Poll, Look, Wait };

struct EventCase {
    std::string Name;
    Event::Reset Mode;
    std::vector<Step> Steps;
    // What each Poll, Look or Wait in Steps gives, in order.
    std::vector<bool> Seen;
};

class EventSteps : public ::testing::TestWithParam<EventCase> {};

TEST_P(EventSteps, GiveWhatTheResetModeSays) {
    const EventCase& c = GetParam();
    Event event(c.Mode);
    std::vector<bool> seen;
    for (const Step step : c.Steps) {
        switch (step) {
        case Step::Signal: event.Signal(); break;
        case Step::Poll: seen.push_back(event.Poll()); break;
        case Step::Look: seen.push_back(event.IsSignalled()); break;
        case Step::Wait: seen.push_back(event.Wait()); break;
        }
    }
    EXPECT_EQ(seen, c.Seen);
}

using enum Step;
constexpr Event::Reset Auto = Event::Reset::Auto;
constexpr Event::Reset Manual = Event::Reset::Manual;

INSTANTIATE_TEST_SUITE_P(
    Events, EventSteps,
    ::testing::Values(EventCase{"NewAutoIsClear", Auto, {Look, Poll}, {false, false}},
                      EventCase{"AutoIsTakenOnce", Auto, {Signal, Poll, Poll}, {true, false}},
                      EventCase{"AutoSignalsDoNotAddUp", Auto, {Signal, Signal, Poll, Poll}, {true, false}},
                      EventCase{"AutoLookLeavesTheSignal", Auto, {Signal, Look, Look, Poll, Look}, {true, true, true, false}},
                      EventCase{"AutoWaitTakesTheSignal", Auto, {Signal, Wait, Poll}, {true, false}},
                      EventCase{"AutoSignalAfterATakeCounts", Auto, {Signal, Poll, Signal, Look, Poll}, {true, true, true}},
                      EventCase{"NewManualIsClear", Manual, {Look, Poll}, {false, false}},
                      EventCase{"ManualStaysSignalled", Manual, {Signal, Poll, Poll, Wait, Look}, {true, true, true, true}}),
    [](const auto& info) { return info.param.Name; });

// Two threads hand a turn back and forth through two auto-reset events, as the window
// and the worker do: a lost signal hangs the test, a doubled one breaks the count.
TEST(EventHandOver, NoSignalIsLostOrDoubledBetweenThreads) {
    constexpr int Turns = 2000;
    Event ping;
    Event pong;
    std::atomic<int> partnerTurns{0};
    std::thread partner([&] {
        for (int i = 0; i < Turns; ++i) {
            if (!ping.Wait()) return;
            ++partnerTurns;
            pong.Signal();
        }
    });
    int turns = 0;
    for (int i = 0; i < Turns; ++i) {
        ping.Signal();
        // Half the turns look before waiting, as a step that checks for a stop does.
        if (i % 2 == 0) {
            while (!pong.Poll()) std::this_thread::yield();
        } else {
            ASSERT_TRUE(pong.Wait());
        }
        ++turns;
        EXPECT_EQ(partnerTurns.load(), turns);
    }
    partner.join();
    EXPECT_FALSE(ping.Poll());
    EXPECT_FALSE(pong.Poll());
}

}  // namespace
