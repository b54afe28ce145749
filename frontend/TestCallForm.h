#pragma once
// The test call dialog's rules, whichever window asks: the number must be one a call can
// dial, the device's modem cannot share the calling modem's port, and only a modem in the
// workshop (one with a port) can be restarted before the call.

#include <string>
#include <variant>

#include "engine/CallOutcome.h"
#include "frontend/FormRefusal.h"

// The number field's length limit: longer than any number taken, so that a long one is
// refused with the box, not cut.
inline constexpr int CallNumberFieldLimit = 40;

// The dialog's fields as the operator left them at OK.
struct TestCallForm {
    std::string Number;
    // The port selector's entry: 0 for none (the modem is at the meter), n for COMn.
    int AnswerCom = 0;
    // The restart box as it stands, offered or not.
    bool Restart = true;
};

// Whether the restart box is offered for the port selector's entry.
bool gOffersRestart(int answerCom);

// The call OK starts, or why it is refused. callerCom: the calling modem's COM number.
std::variant<CallRequest, FormRefusal> gTakeTestCall(const TestCallForm& form, int callerCom);
