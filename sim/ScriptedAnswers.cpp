#include "sim/ScriptedAnswers.h"

#include <cctype>

namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const int lower = std::tolower(static_cast<unsigned char>(c));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// C's escapes \r, \n, \\ and \xHH; false for any other. A command writes its = as \x3D,
// since the first = ends it.
bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        const char kind = i + 1 < text.size() ? text[++i] : '\0';
        if (kind == 'r') {
            out += '\r';
        } else if (kind == 'n') {
            out += '\n';
        } else if (kind == '\\') {
            out += '\\';
        } else if (kind == 'x' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string gParseScriptedAnswer(std::string_view text, ScriptedAnswer& answer) {
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals < 2 || Upper(text.substr(0, 2)) != "AT")
        return "--answer needs COMMAND=REPLY, as in 'AT+CREG?=\\r\\n+CREG: 0,1\\r\\n\\r\\nOK\\r\\n'";
    std::string command;
    if (!Unescape(text.substr(0, equals), command) || !Unescape(text.substr(equals + 1), answer.Bytes))
        return "--answer knows the escapes \\r, \\n, \\\\ and \\xHH";
    answer.Command = Upper(command);
    return {};
}

std::optional<std::string> gScriptedBytes(const std::vector<ScriptedAnswer>& answers, std::string_view line) {
    const std::string command = Upper(line);
    for (const ScriptedAnswer& answer : answers)
        if (answer.Command == command) return answer.Bytes;
    return std::nullopt;
}
