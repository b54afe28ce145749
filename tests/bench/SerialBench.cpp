// Figures of the serial link on a real pseudo-terminal, printed as "name: value unit".
//   reply_detect_ms  from the peer writing the last byte of "\r\nOK\r\n" to ReadReply's Ok (median)
//   stop_latency_ms  from the stop event being signalled to ReadReply's Stopped (median)
//   wait_cpu_pct     CPU over wall time of a 1 s ReadReply against a silent peer and
//                    against a full buffer, the larger

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "os/Event.h"
#include "serial/SerialPort.h"
#include "tests/bench/Timing.h"
#include "tests/serial/PtyPeer.h"

namespace {

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

ReplyCode Search(SerialPort& port, uint32_t timeoutMs) {
    port.Purge(PurgeTxClear | PurgeRxClear);
    return port.ReadReply("AT\r", "\r\nOK\r\n", "0\r", timeoutMs, nullptr);
}

double ReplyDetect(SerialPort& port, PtyPeer& peer) {
    std::vector<double> samples;
    while (samples.size() < 51) {
        Clock::time_point lastByte;
        std::thread modem([&] {
            peer.WriteSlowly("\r\nOK\r");
            lastByte = Clock::now();
            peer.WriteAll("\n");
        });
        const ReplyCode result = port.ReadReply("AT\r", "\r\nOK\r\n", "0\r", 5000, nullptr);
        const Clock::time_point done = Clock::now();
        modem.join();
        if (result != Ok) {
            std::fprintf(stderr, "reply not detected: %d\n", result);
            return -1;
        }
        samples.push_back(Ms(done - lastByte));
        port.Purge(PurgeTxClear | PurgeRxClear);
    }
    return Median(samples);
}

double StopLatency(SerialPort& port, Event& stop) {
    std::vector<double> samples;
    while (samples.size() < 51) {
        Clock::time_point signalled;
        std::thread button([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20 + samples.size() % 7 * 13));
            signalled = Clock::now();
            stop.Signal();
        });
        const ReplyCode result = Search(port, 10000);
        const Clock::time_point done = Clock::now();
        button.join();
        if (result != Stopped) {
            std::fprintf(stderr, "not stopped: %d\n", result);
            return -1;
        }
        samples.push_back(Ms(done - signalled));
    }
    return Median(samples);
}

double WaitCpu(SerialPort& port) {
    const double cpu = ProcessCpuMs();
    const Clock::time_point begin = Clock::now();
    if (port.ReadReply("AT\r", "\r\nOK\r\n", "0\r", 1000, nullptr) != TimedOut) return -1;
    return (ProcessCpuMs() - cpu) / Ms(Clock::now() - begin) * 100;
}

}  // namespace

int main() {
    PtyPeer peer(5);
    SerialPort port;
    Event stop;
    port.StopEventRef = &stop;
    if (port.Open(5) != 0 || port.Configure(115200, 8, OneStopBit, NoParity) != 0) {
        std::fprintf(stderr, "cannot open the pseudo-terminal as COM5\n");
        return 1;
    }
    std::printf("reply_detect_ms: %.2f ms\n", ReplyDetect(port, peer));
    std::printf("stop_latency_ms: %.2f ms\n", StopLatency(port, stop));

    port.Purge(PurgeTxClear | PurgeRxClear);
    const double silent = WaitCpu(port);
    peer.WriteAll(std::string(4000, 'x'));
    const double full = WaitCpu(port);
    std::printf("wait_cpu_pct: %.2f %%\n", std::max(silent, full));
    return 0;
}
