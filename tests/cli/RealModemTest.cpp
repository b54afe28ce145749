// kestrelix-cli against a virtual modem that behaves as the catalogue's real modems do
// beyond the textbook, one scenario a row: what the modem does (after the manual it
// follows), what the operator sees, the exit status and what the modem keeps.

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>

#include "tests/cli/CliFixture.h"

namespace {

const std::string Succeeded = "Операция завершена успешно!";
const std::string CheckAnswered = "Проверка завершена: модем отвечает.";
const std::string SimCardText =
    "При выполнении команды \"ATS0=2\" возникла ошибка! Модем выдал сообщение \"%s\".";

std::string SimCardRow(const std::string& words) {
    std::string row = SimCardText;
    row.replace(row.find("%s"), 2, words);
    return row;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

enum class Run { Job, Check, Pin };

struct Scenario {
    const char* Name;
    RealBehaviour Real;
    uint32_t Speed = 9600;
    bool NoSim = false;
    Run Kind = Run::Job;
    int Status = 0;
    Lines Rows;          // rows the operator sees, in this order, not necessarily adjacent
    int AutoAnswer = 2;  // S0 in force at the end
    Lines SentOnce = {"AT+IPR=9600\r", "AT&F\r", "ATS0=2\r"};  // never sent again
};

RealBehaviour Boot(Lines lines) {
    RealBehaviour real;
    real.BootMs = 300;
    real.StartLines = std::move(lines);
    return real;
}

RealBehaviour Urc(const char* text, int every, bool withBreak) {
    RealBehaviour real;
    real.Urc = text;
    real.UrcEvery = every;
    real.UrcBreak = withBreak;
    return real;
}

RealBehaviour Errors(int cmee, uint32_t attachMs = 0, bool attachFails = false) {
    RealBehaviour real;
    real.Cmee = cmee;
    real.AttachMs = attachMs;
    real.AttachFails = attachFails;
    return real;
}

RealBehaviour Settle(uint32_t ms) {
    RealBehaviour real;
    real.IprSettleMs = ms;
    return real;
}

// The modem is switched on as the utility first speaks to it, so its start-up line comes
// while the first probe waits for an answer.
const Scenario Scenarios[] = {
    // MC55 AT Command Set, ^SYSSTART at a fixed rate.
    {"SysStartDuringTheSearch", Boot({"^SYSSTART"}), 9600, false, Run::Job, 0, {Succeeded}},
    {"SysStartDuringTheCheck", Boot({"^SYSSTART"}), 9600, false, Run::Check, 0, {CheckAnswered}, 0, {}},
    // SIM800 Hardware Design: RDY, then Call Ready and SMS Ready.
    {"Sim800StartLinesDuringThePinJob", Boot({"RDY", "Call Ready", "SMS Ready"}), 9600, false, Run::Pin, 0,
     {"Запрос PIN-кода отключён: модем включится без PIN-кода.", Succeeded}, 0, {}},
    // Autobaud sends no start-up line (MC55); the modem is simply late.
    {"AutobaudStartsSilently", Boot({"^SYSSTART"}), 0, false, Run::Job, 0, {Succeeded}},
    // 3GPP TS 27.007 +CREG=2 announcements just before results: never glued to a reply.
    {"RegistrationBeforeEveryResult", Urc("+CREG: 2", 1, false), 9600, false, Run::Job, 0,
     {"Получен ответ \"OK\"", Succeeded}},
    {"RegistrationDuringTheCheck", Urc("+CREG: 2", 1, false), 9600, false, Run::Check, 0,
     {"Регистрация в сети: домашняя сеть", CheckAnswered}, 0, {}},
    // TC35i: a BREAK at once, the URC after the result; ^SBC undervoltage unasked.
    {"UndervoltageAfterABreak", Urc("^SBC: Undervoltage", 3, true), 115200, false, Run::Job, 0,
     {"Модем сообщил о недостаточном напряжении питания (\"^SBC: Undervoltage\")! Проверьте блок питания модема.",
      Succeeded}},
    {"ShutdownAfterABreak", Urc("^SHUTDOWN", 4, true), 9600, false, Run::Job, 0,
     {"Модем сообщил о выключении (\"^SHUTDOWN\")! Проверьте питание модема.", Succeeded}},
    // AT&F keeps +CMEE=2: the card's own words in the SIM-card message.
    {"CmeErrorInWordsWithoutSim", Errors(2), 9600, true, Run::Job, 1,
     {SimCardRow("+CME ERROR: SIM not inserted"), "Операция завершена НЕ успешно!"}, 0},
    {"CmeErrorNumberWithoutSim", Errors(1), 9600, true, Run::Job, 1,
     {SimCardRow("+CME ERROR: 10"), "Операция завершена НЕ успешно!"}, 0},
    // MC55/MC52i ATS0: a GPRS attach longer than the step's time-out is waited for.
    {"SlowAttach", Errors(-1, 2500), 9600, false, Run::Job, 0, {"Получен ответ \"OK\"", Succeeded}},
    {"FailedAttachStillSetsS0", Errors(-1, 300, true), 9600, false, Run::Job, 1,
     {SimCardRow("ERROR"), "Значение S0=2 модем всё же установил: ошибка относится к подключению к GPRS.",
      "Операция завершена НЕ успешно!"}},
    // TC35 AT+IPR: 100 ms before the next command at the new rate.
    {"PauseAfterTheNewRate", Settle(100), 115200, false, Run::Job, 0, {Succeeded}},
};

class RealModemTest : public CliTest, public ::testing::WithParamInterface<Scenario> {};

TEST_P(RealModemTest, EndsConfiguredOrWithTheTrueCause) {
    const Scenario& s = GetParam();
    VirtualModemOptions options;
    options.ComNumber = 4;
    options.Speed = s.Speed;
    options.NoSim = s.NoSim;
    options.Real = s.Real;
    if (s.Kind == Run::Pin) options.Sim = SimState::PinNeeded;
    StartModem(options);

    Lines args = {"--com", "4"};
    if (s.Kind == Run::Job) args.insert(args.end(), {"--model", "2", "--speed", "9600", "--place", "device"});
    if (s.Kind == Run::Check) args.push_back("--check");
    if (s.Kind == Run::Pin) args.push_back("--sim-pin");
    CliProcess cli(args, s.Kind == Run::Pin ? std::optional<std::string>("0000\n") : std::nullopt);
    EXPECT_EQ(cli.Wait(), s.Status);

    const std::string out = cli.Stdout();
    const Lines rows = SplitLines(out);
    auto from = rows.begin();
    for (const std::string& row : s.Rows) {
        from = std::find(from, rows.end(), row);
        ASSERT_NE(from, rows.end()) << "no row \"" << row << "\" in order in:\n" << out;
    }
    EXPECT_EQ(rows.back(), s.Rows.back()) << out;
    for (const char* wrong : {"не отвечает", "ошибка СОМ-порта", "не был получен ответ", "+CREG", "^SYSSTART", "RDY"})
        EXPECT_EQ(out.find(wrong), std::string::npos) << wrong << " in:\n" << out;

    const std::string received = Modem->ReceivedBytes();
    for (const std::string& command : s.SentOnce) EXPECT_EQ(Count(received, command), 1u) << command;
    EXPECT_EQ(Modem->Settings().AutoAnswer, s.AutoAnswer);
    if (s.Status == 0 && s.Kind == Run::Job) {
        EXPECT_EQ(Modem->StoredProfile().Speed, 9600u);
        EXPECT_EQ(Modem->StoredProfile().AutoAnswer, 2);
    }
}

// The wait for a GPRS attach is the operator's to end: Ctrl+C ends it at once, not when
// the attach would have.
TEST_F(CliTest, CtrlCEndsTheWaitForASlowAttach) {
    VirtualModemOptions options;
    options.ComNumber = 4;
    options.Speed = 9600;
    options.Real = Errors(-1, 60000);
    StartModem(options);
    CliProcess cli({"--com", "4", "--model", "2", "--speed", "9600", "--place", "device"});
    // Everything up to ATS0=2 has reached the modem: the job waits for the attach.
    const std::string sent = std::string("AT\r") + "AT+IPR=9600\r" + "AT&F\r" + "AT&D0\r" + "ATX0\r" + "ATS0=2\r";
    ASSERT_TRUE(Modem->WaitForReceivedBytes(sent.size(), std::chrono::seconds(20)));
    ASSERT_EQ(Modem->ReceivedBytes(), sent);
    cli.Signal(SIGINT);
    ASSERT_TRUE(cli.WaitForEnd(20000)) << "the stop waited for the attach";
    EXPECT_EQ(cli.Wait(), 1);
    EXPECT_EQ(SplitLines(cli.Stdout()).back(), "Операция завершена НЕ успешно!");
}

INSTANTIATE_TEST_SUITE_P(Behaviours, RealModemTest, ::testing::ValuesIn(Scenarios),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
