#pragma once
// The PIN job as a run: the card's state, and the PIN sent at most once to turn its
// request off.

#include <string>

#include "engine/ModemRun.h"

class PinRun final : public ModemRun {
public:
    PinRun(RunContext& context, SerialPort& port, const std::string& pin) : ModemRun(context, port), Pin(pin) {}
    void Work() override;

private:
    // What the card's state leaves to do.
    enum class CardNeeds { NothingMore, NothingAlreadyOff, TurnOff, PinThenTurnOff };
    CardNeeds AskCard();
    bool TurnOff(bool pinWanted);
    // A question of the job: false, after the row that says why, unless the modem answered.
    bool AskShown(const char* command, InfoReply& answer);
    bool SendSecret(const std::string& command, const std::string& shown, InfoReply& answer);
    bool ConfirmLastTry();
    void ReportWrongPin(const InfoReply& answer, const std::string& shown);
    void FinishPin(bool turnedOff);

    const std::string& Pin;
};
