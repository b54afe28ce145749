// Figures of the port lookups, printed as "name: value unit".
//   port_list_ms  looking up COM1 to COM32 with their identities, as the window's list
//                 does each time it opens (median of 20)
//   open_stop_ms  from a stop to Open's return while it retries a busy port (median of 20)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "os/Event.h"
#include "serial/PortIdentity.h"
#include "serial/SerialPort.h"
#include "tests/bench/Timing.h"
#include "tests/serial/PtyPeer.h"

namespace {

double PortList() {
    std::vector<double> samples;
    while (samples.size() < 20) {
        const Clock::time_point begin = Clock::now();
        if (gIdentifyComPorts(32).size() != 32) return -1;
        samples.push_back(Ms(Clock::now() - begin));
    }
    return Median(samples);
}

double OpenStop() {
    SerialPort holder;
    if (holder.Open(5) != 0) return -1;
    std::vector<double> samples;
    while (samples.size() < 20) {
        SerialPort port;
        Event stop;
        port.StopEventRef = &stop;
        Clock::time_point signalled;
        std::thread button([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20 + samples.size() % 5 * 130));
            signalled = Clock::now();
            stop.Signal();
        });
        const int result = port.Open(5);
        const Clock::time_point done = Clock::now();
        button.join();
        if (result != 1) return -1;
        samples.push_back(Ms(done - signalled));
    }
    return Median(samples);
}

}  // namespace

int main() {
    PtyPeer peer(5);
    std::printf("port_list_ms: %.2f ms\n", PortList());
    std::printf("open_stop_ms: %.2f ms\n", OpenStop());
    return 0;
}
