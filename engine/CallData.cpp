// The data check of a two-port call: a seeded block each way at once, as the meter's
// exchange runs both ways on one link, each compared byte for byte with what was sent.

#include <thread>

#include "engine/CallMessages.h"
#include "engine/Format.h"
#include "engine/LineMeaning.h"
#include "engine/RunContext.h"
#include "engine/RunOutcome.h"
#include "engine/TestBlock.h"
#include "engine/TestCall.h"
#include "serial/SerialPort.h"

namespace {

constexpr size_t BlockSize = 1024;
constexpr uint32_t ToDeviceSeed = 0x4B58A11Du;
constexpr uint32_t ToComputerSeed = 0x4B58C0DEu;
// Bytes that stop coming for this long will not come: a link at the slowest bearer
// still moves a byte every few milliseconds.
constexpr uint32_t StallMs = 3000;

}  // namespace

TestCall::StageEnd TestCall::CheckData() {
    if (!TwoPorts) return GoOn;
    CallLink::Side& caller = Link.Caller;
    CallLink::Side& device = Link.Device;
    const std::string toDevice = gTestBlock(ToDeviceSeed, BlockSize);
    const std::string toComputer = gTestBlock(ToComputerSeed, BlockSize);
    Context.Progress(gFormat(CallMsg::DataCheck, static_cast<int>(BlockSize)));
    // A driver may hold a write until its bytes are on the wire: the two blocks go out
    // side by side, or the second would wait for the first.
    Link.WaitForBytes(Link.Now(), false);
    device.Pending.clear();
    caller.Pending.clear();
    const uint32_t began = Link.Now();
    bool deviceWrote = false;
    std::thread deviceWriter(
        [&] { deviceWrote = device.Port.Write(toComputer.data(), static_cast<uint32_t>(BlockSize)) == 0; });
    const bool callerWrote = caller.Port.Write(toDevice.data(), static_cast<uint32_t>(BlockSize)) == 0;
    deviceWriter.join();
    if (!callerWrote || !deviceWrote) return Context.StopAsked() ? CallResult::Stopped : CallResult::PortFailed;

    // What each side received: the device's bytes at the computer and the other way.
    const std::string& atComputer = caller.Pending;
    const std::string& atDevice = device.Pending;
    uint32_t lastBytes = Link.Now();
    while (atComputer.size() < BlockSize || atDevice.size() < BlockSize) {
        const size_t before = atComputer.size() + atDevice.size();
        Link.WaitForBytes(lastBytes + StallMs, true);
        if (Context.StopAsked()) return CallResult::Stopped;
        if (Link.PortBroken) return CallResult::PortFailed;
        if (atComputer.size() + atDevice.size() > before) lastBytes = Link.Now();
        else if (Link.Elapsed(lastBytes + StallMs)) break;
    }
    const double seconds = static_cast<double>(Link.Now() - began) / 1000.0;
    if (Context.StopAsked()) return CallResult::Stopped;

    if ((atComputer.size() < BlockSize && gEndsWithNoCarrier(atComputer)) ||
        (atDevice.size() < BlockSize && gEndsWithNoCarrier(atDevice))) {
        caller.Phase = device.Phase = CallPhase::OnHook;
        return Failure(CallResult::Dropped, CallMsg::Dropped);
    }
    const struct {
        const std::string& Sent;
        const std::string& Received;
        const char* Direction;
    } ways[] = {{toDevice, atDevice, CallMsg::ToDevice}, {toComputer, atComputer, CallMsg::ToComputer}};
    for (const auto& way : ways) {
        if (way.Received.size() < BlockSize) {
            return Failure(CallResult::Damaged, gFormat(CallMsg::DataMissing, way.Direction,
                                                     static_cast<int>(way.Received.size()), static_cast<int>(BlockSize)));
        }
        for (size_t i = 0; i < BlockSize; ++i)
            if (way.Received[i] != way.Sent[i])
                return Failure(CallResult::Damaged, gFormat(CallMsg::DataDamaged, way.Direction, static_cast<int>(i + 1)));
    }
    Found.BytesChecked = static_cast<int32_t>(BlockSize);
    Found.BitRate = seconds > 0 ? static_cast<int32_t>(BlockSize * 8 / seconds) : 0;
    Context.Progress(gFormat(CallMsg::DataPassed, static_cast<int>(BlockSize), gOneDecimal(seconds, ',').c_str(),
                             Found.BitRate));
    caller.Pending.clear();
    device.Pending.clear();
    return GoOn;
}
