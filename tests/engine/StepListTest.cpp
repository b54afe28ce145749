#include <gtest/gtest.h>

#include <cstring>

#include "engine/Cp1251.h"
#include "tests/engine/EngineRig.h"

namespace {

struct Row {
    int32_t Kind;
    std::string Text;
    const char* Expected;
    const char* Alternative;
    int32_t TimeoutMs;
    int32_t Attempts;
};

std::string ExpectedText(const char* p) { return p ? p : "<none>"; }

void ExpectSteps(const std::vector<ConfigStep>& steps, const std::vector<Row>& rows) {
    ASSERT_EQ(steps.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i + 1));
        EXPECT_EQ(steps[i].Kind, rows[i].Kind);
        if (rows[i].Kind == SendCommand) {
            EXPECT_EQ(std::string(steps[i].Text), rows[i].Text);
        }
        EXPECT_EQ(ExpectedText(steps[i].Expected), ExpectedText(rows[i].Expected));
        EXPECT_EQ(ExpectedText(steps[i].Alternative), ExpectedText(rows[i].Alternative));
        EXPECT_EQ(steps[i].TimeoutMs, rows[i].TimeoutMs);
        EXPECT_EQ(steps[i].Attempts, rows[i].Attempts);
    }
}

int32_t StepSpeed(const ConfigStep& step) {
    int32_t speed = 0;
    std::memcpy(&speed, step.Text, sizeof speed);
    return speed;
}

const char* Ok = "\r\nOK\r\n";
const char* Zero = "0\r";

std::vector<Row> ListFor(bool atComputer, const std::string& ipr) {
    const char* last = atComputer ? Ok : Zero;
    return {
        {SearchModem, "", nullptr, nullptr, 0, 0},
        {SendCommand, ipr, Ok, Zero, 1500, 2},
        {SetPortSpeed, "", nullptr, nullptr, 0, 0},
        {SendCommand, "AT&F\r", Ok, nullptr, 1500, 2},
        {SendCommand, atComputer ? "AT&D2\r" : "AT&D0\r", Ok, nullptr, 1500, 2},
        {SendCommand, atComputer ? "ATX4\r" : "ATX0\r", Ok, nullptr, 1500, 2},
        {SendCommand, "ATS0=2\r", Ok, nullptr, 1500, 2},
        {SendCommand, "ATS7=60\r", Ok, nullptr, 1500, 2},
        {SendCommand, "ATL1\r", Ok, nullptr, 1500, 2},
        {SendCommand, "ATE0\r", Ok, nullptr, 1500, 2},
        {SendCommand, atComputer ? "ATV1\r" : "ATV0\r", last, nullptr, 1500, 2},
        {SendCommand, "AT&W\r", last, nullptr, 1500, 2},
    };
}

TEST(BuildSteps, FollowsThePlaceAndTreatsEveryNonzeroPlaceAsTheComputer) {
    for (int32_t place : {0, 1, 7, -1}) {
        SCOPED_TRACE("place " + std::to_string(place));
        EngineRig<> rig;
        rig.Engine->ModelIndex = 1;
        rig.Engine->IsLocal = place;
        rig.Engine->BuildSteps();
        ExpectSteps(rig.Engine->Steps, ListFor(place != 0, "AT+IPR=9600\r"));
        EXPECT_EQ(StepSpeed(rig.Engine->Steps[2]), 9600);
    }
}

TEST(BuildSteps, SetsTheDeviceSpeedInRowsTwoAndThree) {
    EngineRig<> rig;
    rig.Engine->DeviceSpeed = 115200;
    rig.Engine->BuildSteps();
    ASSERT_EQ(rig.Engine->Steps.size(), 12u);
    EXPECT_EQ(std::string(rig.Engine->Steps[1].Text), "AT+IPR=115200\r");
    EXPECT_EQ(std::strlen(rig.Engine->Steps[1].Text), 14u);
    EXPECT_EQ(StepSpeed(rig.Engine->Steps[2]), 115200);
}

TEST(BuildSteps, SimHintForEachModelAndNoStepsOutsideTheCatalogueOrWithoutASpeed) {
    const struct {
        int32_t Model;
        int32_t Speed;
        int32_t SimHint;
        size_t Steps;
    } cases[] = {{-1, 9600, 0, 0}, {0, 9600, 0, 12}, {1, 9600, 0, 12}, {2, 9600, 1, 12}, {3, 9600, 1, 12},
                 {4, 9600, 0, 12}, {5, 9600, 0, 12}, {6, 9600, 0, 0},    {1, 0, 0, 0},     {2, 0, 1, 0}};
    EngineRig<> rig;
    for (const auto& c : cases) {
        SCOPED_TRACE("model " + std::to_string(c.Model) + ", speed " + std::to_string(c.Speed));
        rig.Engine->SimHint = 1 - c.SimHint;
        rig.Engine->ModelIndex = c.Model;
        rig.Engine->DeviceSpeed = c.Speed;
        rig.Engine->BuildSteps();
        EXPECT_EQ(rig.Engine->SimHint, c.SimHint);
        EXPECT_EQ(rig.Engine->Steps.size(), c.Steps);
    }
}

TEST(BuildSteps, BuildingTwiceLeavesTwelveSteps) {
    EngineRig<> rig;
    rig.Engine->BuildSteps();
    rig.Engine->BuildSteps();
    EXPECT_EQ(rig.Engine->Steps.size(), 12u);
}

TEST(StripLineEnds, RemovesEveryCrAndLfWhereverTheyStand) {
    const std::pair<std::string, std::string> cases[] = {
        {"AT&F\r", "AT&F"}, {"\r\nOK\r\n", "OK"}, {"0\r", "0"}, {"\r\n\r\n", ""},
        {"A\rB\nC", "ABC"}, {"", ""}, {"\n\rERROR\n\r", "ERROR"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(ConfigEngine::StripLineEnds(in), out);
}

TEST(Cp1251, DecodesToUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"OK", "OK"},
        {"\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"},
        {"\xC0\xFF", "Ая"},
        {"\xA8\xB8", "Ёё"},
        {"\xB9", "№"},
        {"\x88", "€"},
        {"\x98", "\xEF\xBF\xBD"},
        {std::string("A\0B", 3), std::string("A\0B", 3)},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(gCp1251ToUtf8(in), out);
}

}  // namespace
