#pragma once
// Cutting the bytes a modem sends into lines, for every reader of them: the reply reader
// looks at all it has gathered, the test call takes its lines one by one as they arrive.
// No I/O.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// How a line ended. A verbose line ends in CR LF; a numeric result code (ATV0) in CR alone.
enum class LineEnd {
    CrLf,
    Cr,      // CR with a byte other than LF after it
    CrLast,  // CR as the last byte there is: its LF may still come
    Lf,
    Open,    // no end yet
};

struct ModemLine {
    size_t Frame = 0;       // where the line begins, the CR LF that opens a verbose line included
    bool Opened = false;    // the line was opened by CR LF
    std::string_view Text;  // without its opening and its end
    LineEnd End = LineEnd::Open;
    size_t Next = 0;        // the first byte after the end
};

// The line that begins at at. A CR LF at at opens the line when text follows it; before
// another CR or LF it is an empty line of its own.
ModemLine gLineAt(std::string_view bytes, size_t at);

// A BREAK before a delayed line arrives as NUL bytes (TC35i AT Command Set, URCs): they
// are no part of anything a modem says, and every reader drops them first.
std::string gWithoutNuls(std::string_view bytes);

// pending holds a line not yet ended; empty lines and NUL bytes are dropped, and a CR
// ends a line even when its LF may still come. Returns the next whole line, or none.
std::optional<std::string> gTakeLine(std::string& pending);
