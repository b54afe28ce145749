#include "engine/PortListener.h"

#include "serial/SerialPort.h"

PortListener::PortListener(SerialPort& port, std::mutex& lock, std::condition_variable& arrived)
    : Port(port), Lock(lock), Arrived(arrived), Thread([this] { Listen(); }) {}

PortListener::~PortListener() { Finish(); }

// A read with nothing to read ends within the port's read time-out, where Quit is seen.
std::string PortListener::Finish() {
    Quit = true;
    if (Thread.joinable()) Thread.join();
    std::lock_guard lock(Lock);
    return std::move(Bytes);
}

void PortListener::Listen() {
    char buffer[512];
    while (!Quit) {
        uint32_t got = 0;
        const bool failed = Port.ReadSome(buffer, sizeof buffer, got) != Ok;
        const bool stopped = Port.StopSignalled();
        {
            std::lock_guard lock(Lock);
            Bytes.append(buffer, got);
            Failed = failed;
        }
        Arrived.notify_all();
        if (failed || stopped) return;
    }
}
