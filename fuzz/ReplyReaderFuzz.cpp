// The reply reader over bytes that arrive in pieces: every prefix of the input is judged
// as the port judges what it has gathered so far (URCs set aside, then the reply). The
// first byte chooses the question and the size of the pieces.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "serial/ReplyParser.h"

namespace {

constexpr const char* Questions[] = {"AT\r", "AT+CGMI\r", "AT+CGMM\r", "AT+CGSN\r", "AT+CPIN?\r",
                                     "AT+CSQ\r", "AT+CREG?\r", "AT+IPR=9600\r", nullptr};
constexpr size_t QuestionCount = sizeof Questions / sizeof Questions[0];

bool InRange(ReplyCode code) { return code >= Ok && code <= ModemError; }

void Judge(const std::string& gathered, const char* command) {
    const int count = static_cast<int>(gathered.size());
    const SetAside clean = gSetAside(gathered.data(), count, command, "\r\nOK\r\n", "0\r");
    KX_FUZZ_CHECK(clean.Bytes.size() <= gathered.size());
    KX_FUZZ_CHECK(clean.Bytes.find('\0') == std::string::npos);
    const int size = static_cast<int>(clean.Bytes.size());
    const ReplyScan scan = gScanReply(clean.Bytes.data(), size, command);
    KX_FUZZ_CHECK(scan.Start >= 0 && scan.Length >= 0 && scan.Start + scan.Length == size);
    if (scan.Complete) {
        KX_FUZZ_CHECK(InRange(gClassifyReply(clean.Bytes.data() + scan.Start, scan.Length, scan.Form, "\r\nOK\r\n", "0\r")));
    }
    const SetAside info = gSetAside(gathered.data(), count, command, nullptr, nullptr, Reading::Information);
    const InfoReply reply = gParseInfoReply(info.Bytes.data(), static_cast<int>(info.Bytes.size()), command);
    KX_FUZZ_CHECK(InRange(reply.Code));
    KX_FUZZ_CHECK(reply.CmeError >= -1 && reply.CmeError < 100000);
    if (reply.Complete) {
        KX_FUZZ_CHECK(!reply.Final.empty());
        KX_FUZZ_CHECK(reply.Code == Ok || reply.Code == ModemError);
    }
    for (const std::string& line : reply.Lines) {
        KX_FUZZ_CHECK(!line.empty());
        KX_FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    }
}

// A line of digits in a verbose reply is information: no piece of it before the OK ends
// the answer, whatever the digits.
void DigitsAreNeverACode(const uint8_t* data, size_t size) {
    std::string digits;
    for (size_t i = 0; i < size && digits.size() < 3; ++i)
        if (data[i] >= '0' && data[i] <= '9') digits += static_cast<char>(data[i]);
    if (digits.empty()) return;
    const std::string gathered = "AT+CGMM\r\r\n" + digits + "\r\n\r\nOK\r\n";
    const int okAt = static_cast<int>(gathered.size()) - 4;
    for (int cut = 0; cut < okAt; ++cut) {
        const SetAside clean = gSetAside(gathered.data(), cut, "AT+CGMM\r", nullptr, nullptr, Reading::Information);
        KX_FUZZ_CHECK(!gParseInfoReply(clean.Bytes.data(), static_cast<int>(clean.Bytes.size()), "AT+CGMM\r").Complete);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 512) return 0;
    const char* command = Questions[data[0] % QuestionCount];
    const size_t piece = 1 + data[0] / QuestionCount % 8;
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    for (size_t end = 0;; end += piece) {
        Judge(bytes.substr(0, end), command);
        if (end >= bytes.size()) break;
    }
    DigitsAreNeverACode(data, size);
    return 0;
}
