// The test call as a run of the engine: its request, its ports and how its end shows.

#include "engine/CallNumber.h"
#include "engine/ConfigEngine.h"
#include "engine/Run.h"
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

namespace {

class CallRun final : public Run {
public:
    CallRun(RunContext& context, int32_t com, SerialPort& caller, SerialPort& device, const CallRequest& request)
        : Context(context), Call(context, com, caller, device, request) {}
    void Work() override { Context.FinishCall(Call.Run()); }

private:
    RunContext& Context;
    TestCall Call;
};

}  // namespace

void ConfigEngine::RunCallJob() {
    Outcome.Call.End = CallResult::PortNotOpened;
    const int32_t com = CommIndex + 1;
    CallRun call(Context, com, Port, AnswerPort, Call);
    if (Call.AnswerCom > 0) RunInFrame(call, {{&Port, com}, {&AnswerPort, Call.AnswerCom}});
    else RunInFrame(call, {{&Port, com}});
}
