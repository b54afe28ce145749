#pragma once
// Reads one port on a thread of its own while a call lasts, so that the job can wait for
// the next bytes of either of two modems at once: a read of one never holds back the
// other's. No UnstoppableReads of the port may begin or end while it listens. It ends
// when destroyed, when its port fails, or, when the port heeds a stop, at the stop.

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class SerialPort;

class PortListener {
public:
    // Every arrival is told on arrived, under lock.
    PortListener(SerialPort& port, std::mutex& lock, std::condition_variable& arrived);
    ~PortListener();
    // Ends the listening and returns the bytes not yet taken.
    std::string Finish();
    PortListener(const PortListener&) = delete;
    PortListener& operator=(const PortListener&) = delete;

    // Under lock: the bytes read and not yet taken, and whether it has stopped listening
    // because the port failed.
    std::string Bytes;
    bool Failed = false;

private:
    void Listen();

    SerialPort& Port;
    std::mutex& Lock;
    std::condition_variable& Arrived;
    std::atomic<bool> Quit{false};
    std::thread Thread;
};
