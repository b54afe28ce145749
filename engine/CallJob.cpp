// The test call as a run of the engine: its request, its ports and how its end shows.

#include "engine/CallNumber.h"
#include "engine/ConfigEngine.h"
#include "engine/EngineContext.h"
#include "engine/TestCall.h"
#include "toolkit/ControlIds.h"
#include "toolkit/Toolkit.h"

bool ConfigEngine::OnTestCall(const CallRequest& request) {
    if (Busy == 1 || !gIsCallNumber(request.Number)) return false;
    CommIndex = Owner->ComboSelected(ControlId::ComSelector);
    if (request.AnswerCom == CommIndex + 1) return false;
    Call = request;
    Launch(RunKind::Call);
    return true;
}

void ConfigEngine::RunCallJob() {
    Outcome.Call.End = CallResult::PortNotOpened;
    const int32_t com = CommIndex + 1;
    const bool opened = Call.AnswerCom > 0 ? OpenPorts({{&Port, com}, {&AnswerPort, Call.AnswerCom}})
                                           : OpenPorts({{&Port, com}});
    if (!opened) return;
    EngineContext context(*this);
    FinishCall(TestCall(context, com, Port, AnswerPort, Call).Run());
    ClosePorts();
}
