#include "engine/CallEnds.h"

#include <array>

#include "engine/CallMessages.h"

namespace {

constexpr std::array<CallEnd, 17> Ends = {{
    {CallResult::NotRun, RunResult::PortNotOpened, nullptr, "not run"},
    {CallResult::Passed, RunResult::Succeeded, CallMsg::Passed, "passed"},
    {CallResult::Stopped, RunResult::Stopped, CallMsg::Stopped, "stopped"},
    {CallResult::PortNotOpened, RunResult::PortNotOpened, nullptr, "port not opened"},
    {CallResult::PortFailed, RunResult::PortFailed, CallMsg::PortFailed, "port failed"},
    {CallResult::NoModem, RunResult::Failed, CallMsg::Failed, "no calling modem"},
    {CallResult::NoAnswerModem, RunResult::Failed, CallMsg::Failed, "no device modem"},
    {CallResult::NotBack, RunResult::Failed, CallMsg::Failed, "not back after restart"},
    {CallResult::NoNetwork, RunResult::Failed, CallMsg::Failed, "no network"},
    {CallResult::NoReply, RunResult::Failed, CallMsg::Failed, "no reply"},
    {CallResult::Busy, RunResult::Failed, CallMsg::Failed, "busy"},
    {CallResult::NotReached, RunResult::Failed, CallMsg::Failed, "not reached"},
    {CallResult::NotAnswered, RunResult::Failed, CallMsg::Failed, "not answered"},
    {CallResult::Refused, RunResult::Failed, CallMsg::Failed, "refused by network"},
    {CallResult::Dropped, RunResult::Failed, CallMsg::Failed, "dropped"},
    {CallResult::Damaged, RunResult::Failed, CallMsg::Failed, "data damaged"},
    {CallResult::NotHungUp, RunResult::Failed, CallMsg::Failed, "not hung up"},
}};

}  // namespace

const CallEnd& gCallEnd(CallResult end) {
    for (const CallEnd& row : Ends)
        if (row.End == end) return row;
    return Ends.front();
}

const char* gCallResultName(CallResult end) { return gCallEnd(end).Word; }
