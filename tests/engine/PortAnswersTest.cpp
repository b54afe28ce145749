// The replies of other makers (tests/engine/RealAnswers.h) read by the port itself, from
// reads scripted to end anywhere, and shown by the check's rows. A file of its own: the
// engine's tests have a scripted modem of another kind under the same name.

#include <gtest/gtest.h>

#include <memory>

#include "engine/CheckRows.h"
#include "serial/ReplyParser.h"
#include "tests/engine/RealAnswers.h"
#include "tests/serial/ScriptedPlatform.h"

namespace {

// The item a row shows for a question's answer.
std::string Item(const std::string& command, const InfoReply& answer) {
    auto after = [](const std::string& row) { return row.substr(row.find(": ") + 2); };
    if (command == "AT+CGSN") return after(gImeiRow(answer));
    if (command == "AT+CPIN?") return after(gSimRow(answer));
    if (command == "AT+CSQ") return after(gSignalRow(answer));
    if (command == "AT+CREG?") return gRegistrationState(answer);
    return gInfoText(answer);
}

// The reply read by the port itself from reads that end where cuts says.
InfoReply ReadByThePort(const std::string& command, const std::string& bytes, const std::vector<size_t>& cuts) {
    auto script = std::make_unique<ScriptedPlatform>();
    ScriptedPlatform& reads = *script;
    SerialPort port(std::move(script));
    port.Open(1);
    port.Configure(9600, 8, OneStopBit, NoParity);
    size_t from = 0;
    for (const size_t cut : cuts) {
        reads.Reads.push_back({bytes.substr(from, cut - from)});
        from = cut;
    }
    reads.Reads.push_back({bytes.substr(from)});
    InfoReply answer;
    port.ReadInfoReply((command + "\r").c_str(), 1500, answer);
    return answer;
}

// Every reply of other makers, in both forms, echoed or not, in one read and in reads cut
// at every CR and every LF: the item is read right each time.
TEST(AnswerRows, OtherMakersRepliesInEveryFormAndPieces) {
    for (const RealReply& r : QuirkReplies()) {
        for (const bool verbose : {true, false}) {
            for (const bool echo : {true, false}) {
                const std::string bytes = (echo ? r.Command + std::string("\r") : "") + ReplyBytes(r, verbose);
                std::vector<size_t> lineEnds;
                for (size_t i = 0; i < bytes.size(); ++i)
                    if (bytes[i] == '\r' || bytes[i] == '\n') lineEnds.push_back(i + 1);
                const std::string form = std::string(verbose ? "ATV1" : "ATV0") + (echo ? ", echo" : "");
                EXPECT_EQ(Item(r.Command, ReadByThePort(r.Command, bytes, {})), r.Words) << r.Source << ", " << form;
                EXPECT_EQ(Item(r.Command, ReadByThePort(r.Command, bytes, lineEnds)), r.Words)
                    << r.Source << ", " << form << ", cut at every line end";
            }
        }
    }
}

}  // namespace
