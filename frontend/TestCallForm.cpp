#include "frontend/TestCallForm.h"

#include "engine/CallNumber.h"
#include "engine/CallMessages.h"

bool gOffersRestart(int answerCom) { return answerCom > 0; }

std::variant<CallRequest, FormRefusal> gTakeTestCall(const TestCallForm& form, int callerCom) {
    if (!gIsCallNumber(form.Number)) return FormRefusal{CallMsg::BadNumber, FormField::CallNumber};
    if (form.AnswerCom == callerCom) return FormRefusal{CallMsg::SamePort, FormField::AnswerCom};
    return CallRequest{form.Number, form.AnswerCom, gOffersRestart(form.AnswerCom) && form.Restart};
}
