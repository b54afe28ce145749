#include "serial/LineSplitter.h"

ModemLine gLineAt(std::string_view bytes, size_t at) {
    ModemLine line;
    line.Frame = at;
    if (bytes.substr(at, 2) == "\r\n" && at + 2 < bytes.size() && bytes[at + 2] != '\r' && bytes[at + 2] != '\n') {
        line.Opened = true;
        at += 2;
    }
    const size_t end = bytes.find_first_of("\r\n", at);
    if (end == std::string_view::npos) {
        line.Text = bytes.substr(at);
        line.Next = bytes.size();
        return line;
    }
    line.Text = bytes.substr(at, end - at);
    line.Next = end + 1;
    if (bytes[end] == '\n') {
        line.End = LineEnd::Lf;
    } else if (end + 1 == bytes.size()) {
        line.End = LineEnd::CrLast;
    } else if (bytes[end + 1] == '\n') {
        line.End = LineEnd::CrLf;
        line.Next = end + 2;
    } else {
        line.End = LineEnd::Cr;
    }
    return line;
}

std::string gWithoutNuls(std::string_view bytes) {
    std::string kept;
    kept.reserve(bytes.size());
    for (const char c : bytes)
        if (c != '\0') kept += c;
    return kept;
}

std::optional<std::string> gTakeLine(std::string& pending) {
    pending = gWithoutNuls(pending);
    for (;;) {
        const ModemLine line = gLineAt(pending, 0);
        if (line.End == LineEnd::Open) return std::nullopt;
        std::string text(line.Text);
        pending.erase(0, line.Next);
        if (!text.empty()) return text;
    }
}
