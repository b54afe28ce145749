#pragma once
// What went over the line, kept in memory (unless told not to) and optionally appended to
// a file line by line.

#include <chrono>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "sim/VirtualModem.h"

// One transcript line: time in seconds, direction, the modem's and the line's speed,
// the bytes in hex and as escaped text.
std::string gFormatTranscriptEntry(const TranscriptEntry& e);

class TranscriptLog {
public:
    // Empty when the file opened (or none was asked for), otherwise why not. Without keep,
    // entries go to the file only, so an endless run does not grow.
    std::string Open(const std::string& file, bool keep);
    void Add(TranscriptDirection direction, uint32_t interfaceSpeed, uint32_t lineSpeed,
             std::string bytes);
    std::vector<TranscriptEntry> Entries() const;
    std::string Bytes(TranscriptDirection direction) const;

private:
    mutable std::mutex Lock;
    std::chrono::steady_clock::time_point Begin = std::chrono::steady_clock::now();
    bool Keep = true;
    std::vector<TranscriptEntry> Kept;
    std::ofstream File;
};
