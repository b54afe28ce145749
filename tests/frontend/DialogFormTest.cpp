// What the small dialogs take and what they refuse, as the operator fills them in: the
// refusal box's text and caption and the field that gets the focus back, or the PIN or
// call that OK hands on. Both windows show these, so neither window's tests repeat them.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>

#include "frontend/SimPinForm.h"
#include "frontend/TestCallForm.h"

namespace {

constexpr const char* BadPin = "PIN-код должен состоять из 4–8 цифр!";
constexpr const char* BadNumber = "Номер телефона должен состоять из 3–20 цифр, перед которыми может стоять знак +!";
constexpr const char* SamePort =
    "Модем прибора должен быть подключён к другому СОМ-порту, не к порту вызывающего модема!";

}  // namespace

TEST(SimPinForm, TakesFourToEightDigitsOnly) {
    const struct {
        const char* Typed;
        bool Taken;
    } cases[] = {
        {"1234", true},  {"12345678", true}, {"0000", true},   {"123", false},     {"123456789", false},
        {"", false},     {"12a4", false},    {"12 34", false}, {" 1234", false},   {"１２３４", false},
        {"+1234", false}, {"-123", false},
    };
    for (const auto& c : cases) {
        const std::optional<FormRefusal> refused = gRefusePin(c.Typed);
        EXPECT_EQ(!refused, c.Taken) << c.Typed;
        if (!refused) continue;
        EXPECT_STREQ(refused->Text, BadPin) << c.Typed;
        EXPECT_STREQ(refused->Caption, "Ошибка") << c.Typed;
        EXPECT_EQ(refused->Focus, FormField::PinCode) << c.Typed;
    }
}

TEST(TestCallForm, RefusesNumbersThatCannotBeDialledAndTheCallersOwnPort) {
    const struct {
        const char* Name;
        TestCallForm Form;
        int CallerCom;
        const char* Box;  // the refusal, or none when taken
        FormField Focus;
        CallRequest Expected;
    } cases[] = {
        {"AtTheMeter", {"+79161234567", 0, true}, 1, nullptr, {}, {"+79161234567", 0, false}},
        {"InTheWorkshop", {"0002", 2, true}, 1, nullptr, {}, {"0002", 2, true}},
        {"WorkshopWithoutRestart", {"123", 3, false}, 1, nullptr, {}, {"123", 3, false}},
        {"PlusAndTwentyDigits", {"+12345678901234567890", 0, true}, 1, nullptr, {}, {"+12345678901234567890", 0, false}},
        {"CallerAtAHighPort", {"123", 1, true}, 256, nullptr, {}, {"123", 1, true}},
        {"TwoDigits", {"12", 2, true}, 1, BadNumber, FormField::CallNumber, {}},
        {"TwentyOneDigits", {"123456789012345678901", 0, true}, 1, BadNumber, FormField::CallNumber, {}},
        {"Letters", {"12a45", 0, true}, 1, BadNumber, FormField::CallNumber, {}},
        {"VoiceCall", {"12345;", 0, true}, 1, BadNumber, FormField::CallNumber, {}},
        {"PlusInside", {"12+345", 0, true}, 1, BadNumber, FormField::CallNumber, {}},
        {"PlusAlone", {"+", 0, true}, 1, BadNumber, FormField::CallNumber, {}},
        {"Spaces", {" 123", 0, true}, 1, BadNumber, FormField::CallNumber, {}},
        {"WideDigits", {"１２３", 0, true}, 1, BadNumber, FormField::CallNumber, {}},
        {"Empty", {"", 2, true}, 1, BadNumber, FormField::CallNumber, {}},
        // The number is told first: one box at a time, the first field first.
        {"BadNumberOnTheCallersPort", {"12", 1, true}, 1, BadNumber, FormField::CallNumber, {}},
        {"CallersOwnPort", {"0002", 1, true}, 1, SamePort, FormField::AnswerCom, {}},
        {"CallersOwnHighPort", {"0002", 32, true}, 32, SamePort, FormField::AnswerCom, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto taken = gTakeTestCall(c.Form, c.CallerCom);
        if (c.Box) {
            const auto* refused = std::get_if<FormRefusal>(&taken);
            ASSERT_NE(refused, nullptr);
            EXPECT_STREQ(refused->Text, c.Box);
            EXPECT_STREQ(refused->Caption, "Ошибка");
            EXPECT_EQ(refused->Focus, c.Focus);
            continue;
        }
        const auto* request = std::get_if<CallRequest>(&taken);
        ASSERT_NE(request, nullptr);
        EXPECT_EQ(request->Number, c.Expected.Number);
        EXPECT_EQ(request->AnswerCom, c.Expected.AnswerCom);
        EXPECT_EQ(request->Restart, c.Expected.Restart);
    }
}

// Only a modem in the workshop, one with a port, can be restarted before the call.
TEST(TestCallForm, OffersTheRestartOnlyWithAPort) {
    EXPECT_FALSE(gOffersRestart(0));
    for (const int entry : {1, 2, 32}) EXPECT_TRUE(gOffersRestart(entry)) << entry;
}
