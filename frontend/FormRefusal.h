#pragma once
// What a small dialog tells the operator when OK meets input it does not take, whichever
// window shows it: a box with the information icon, after which the dialog stays open
// with the focus back on the field at fault.

#include "engine/Messages.h"

// The fields a refusal can send the focus back to.
enum class FormField { PinCode, CallNumber, AnswerCom };

struct FormRefusal {
    const char* Text;
    // An edit field also gets its text selected, so that typing replaces it.
    FormField Focus;
    const char* Caption = Msg::ErrorCaption;
};
