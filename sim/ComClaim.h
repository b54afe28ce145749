#pragma once
// A running modem's hold on its COM number: an exclusive lock on the hidden file
// .COMn.lock beside the link. The system drops the lock however the process ends, even
// when it is killed, so a COMn link whose number nobody holds was left by a modem that
// is gone, and its terminal may by now belong to any program.

#include <memory>
#include <string>

class ComClaim {
public:
    ~ComClaim();
    ComClaim(const ComClaim&) = delete;
    ComClaim& operator=(const ComClaim&) = delete;

    // Claims COM number n in folder; empty with error set when a running modem holds it
    // or the lock cannot be had.
    static std::unique_ptr<ComClaim> Take(const std::string& folder, int n, std::string& error);

private:
    ComClaim(int fd, std::string path);

    int Fd;
    std::string Path;
};
