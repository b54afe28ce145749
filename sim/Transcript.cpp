#include "sim/Transcript.h"

#include <cstdio>

std::string gFormatTranscriptEntry(const TranscriptEntry& e) {
    char head[96];
    std::snprintf(head, sizeof head, "%llu.%03llu %s modem %u line %u ",
                  static_cast<unsigned long long>(e.Millis / 1000),
                  static_cast<unsigned long long>(e.Millis % 1000),
                  e.Direction == TranscriptDirection::Received ? "in " : "out", e.InterfaceSpeed,
                  e.LineSpeed);
    std::string hex, text;
    for (const char ch : e.Bytes) {
        const auto b = static_cast<unsigned char>(ch);
        char h[4];
        std::snprintf(h, sizeof h, "%02X ", b);
        hex += h;
        if (b == '\r') {
            text += "\\r";
        } else if (b == '\n') {
            text += "\\n";
        } else if (b == '\\' || b == '"') {
            text += '\\';
            text += ch;
        } else if (b >= 0x20 && b < 0x7F) {
            text += ch;
        } else {
            char x[5];
            std::snprintf(x, sizeof x, "\\x%02X", b);
            text += x;
        }
    }
    return head + hex + "\"" + text + "\"";
}

std::string TranscriptLog::Open(const std::string& file, bool keep) {
    Keep = keep;
    if (File.is_open()) File.close();
    if (file.empty()) return {};
    File.open(file, std::ios::out | std::ios::app);
    return File ? std::string() : "cannot write the transcript " + file;
}

void TranscriptLog::Add(TranscriptDirection direction, uint32_t interfaceSpeed, uint32_t lineSpeed,
                     std::string bytes) {
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - Begin);
    TranscriptEntry entry{static_cast<uint64_t>(millis.count()), direction, interfaceSpeed, lineSpeed,
                          std::move(bytes)};
    std::lock_guard guard(Lock);
    if (File.is_open()) File << gFormatTranscriptEntry(entry) << std::endl;
    if (Keep) Kept.push_back(std::move(entry));
}

std::vector<TranscriptEntry> TranscriptLog::Entries() const {
    std::lock_guard guard(Lock);
    return Kept;
}

std::string TranscriptLog::Bytes(TranscriptDirection direction) const {
    std::lock_guard guard(Lock);
    std::string all;
    for (const auto& e : Kept)
        if (e.Direction == direction) all += e.Bytes;
    return all;
}
