#pragma once
// Unsolicited result codes (URC): the lines a modem sends without being asked, known by
// one table that every reader of a modem's lines goes by. No I/O.

#include <optional>
#include <string_view>

#include "serial/Unasked.h"

// How a table entry meets a line: the whole line, or the line's beginning.
enum class UrcMatch { WholeLine, Prefix };

struct UrcEntry {
    std::string_view Text;
    UrcMatch Match;
    Unasked Kind;
    // For a URC that shares its name with the answer to a question (+CREG: to AT+CREG?):
    // whether the line is in the answer's form. None: every line of the name may answer.
    bool (*IsAnswerForm)(std::string_view line) = nullptr;
};

// The table's entry for the line; none when the table does not know it.
const UrcEntry* gFindUrc(std::string_view line);

// The kind of a line that is a URC by the table; none for any other line.
std::optional<Unasked> gUnaskedKind(std::string_view line);

// Whether the line has the shape of a URC, whoever the maker: "^WORD..." ("^BOOT:...",
// "^RSSI:18"), "+WORD:..." ("+PSBEARER: 1") or "+WORD" alone ("+ZEND"), WORD being
// capitals and digits. Makers add their own, so a list can never hold them all.
bool gHasUrcShape(std::string_view line);
