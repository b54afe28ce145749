// The data check of a two-port call: a seeded block each way at once, as the meter's
// exchange runs both ways on one link, each compared byte for byte with what was sent.

#include <thread>

#include "engine/CallRows.h"
#include "engine/ConfigEngine.h"
#include "engine/Format.h"
#include "engine/TestCall.h"
#include "os/Tick.h"

namespace {

constexpr size_t BlockSize = 1024;
constexpr uint32_t ToDeviceSeed = 0x4B58A11Du;
constexpr uint32_t ToComputerSeed = 0x4B58C0DEu;
// Bytes that stop coming for this long will not come: a link at the slowest bearer
// still moves a byte every few milliseconds.
constexpr uint32_t StallMs = 3000;

}  // namespace

CallResult TestCall::CheckData() {
    const std::string toDevice = gTestBlock(ToDeviceSeed, BlockSize);
    const std::string toComputer = gTestBlock(ToComputerSeed, BlockSize);
    Engine.ReportProgress(gFormat(CallMsg::DataCheck, static_cast<int>(BlockSize)));
    // A driver may hold a write until its bytes are on the wire: the two blocks go out
    // side by side, or the second would wait for the first.
    WaitForArrival(gTickCount(), false);
    Device.Pending.clear();
    Caller.Pending.clear();
    const uint32_t began = gTickCount();
    bool deviceWrote = false;
    std::thread deviceWriter(
        [&] { deviceWrote = Device.Port.Write(toComputer.data(), static_cast<uint32_t>(BlockSize)) == 0; });
    const bool callerWrote = Caller.Port.Write(toDevice.data(), static_cast<uint32_t>(BlockSize)) == 0;
    deviceWriter.join();
    if (!callerWrote || !deviceWrote) return Engine.StopRequested ? CallResult::Stopped : CallResult::PortFailed;

    // What each side received: the device's bytes at the computer and the other way.
    const std::string& atComputer = Caller.Pending;
    const std::string& atDevice = Device.Pending;
    uint32_t lastBytes = gTickCount();
    while (atComputer.size() < BlockSize || atDevice.size() < BlockSize) {
        const size_t before = atComputer.size() + atDevice.size();
        WaitForArrival(lastBytes + StallMs, true);
        if (Engine.StopRequested) return CallResult::Stopped;
        if (PortBroken) return CallResult::PortFailed;
        if (atComputer.size() + atDevice.size() > before) lastBytes = gTickCount();
        else if (static_cast<int32_t>(gTickCount() - lastBytes) >= static_cast<int32_t>(StallMs)) break;
    }
    const double seconds = static_cast<double>(gTickCount() - began) / 1000.0;
    if (Engine.StopRequested) return CallResult::Stopped;

    if ((atComputer.size() < BlockSize && gEndsWithNoCarrier(atComputer)) ||
        (atDevice.size() < BlockSize && gEndsWithNoCarrier(atDevice))) {
        Caller.OffHook = Caller.Online = Device.OffHook = Device.Online = false;
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
    CallFindings& found = Engine.Outcome.Call;
    found.BytesChecked = static_cast<int32_t>(BlockSize);
    found.BitRate = seconds > 0 ? static_cast<int32_t>(BlockSize * 8 / seconds) : 0;
    Engine.ReportProgress(gFormat(CallMsg::DataPassed, static_cast<int>(BlockSize), gOneDecimal(seconds, ',').c_str(),
                                  found.BitRate));
    Caller.Pending.clear();
    Device.Pending.clear();
    return CallResult::Passed;
}
