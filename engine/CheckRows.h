#pragma once
// What the modem check makes of the modem's answers: one log row per item, in the
// operator's words. No I/O; the answers come from the reply reader as InfoReply.

#include <optional>
#include <string>

#include "serial/ReplyParser.h"

namespace CheckMsg {
inline constexpr const char* Answered = "Проверка завершена: модем отвечает.";
inline constexpr const char* NotAnswered = "Проверка завершена: модем не отвечает!";
inline constexpr const char* Stopped = "Проверка прервана!";
inline constexpr const char* PortFailed = "Проверка прервана: ошибка СОМ-порта!";
}  // namespace CheckMsg

// The first line of information in an OK answer, decoded from the modem's code page,
// without the "+CGSN: "-style name some modems put before it; empty for any other answer.
std::string gInfoText(const InfoReply& answer);

// AT+CGMI, AT+CGMM and AT+CGMR.
std::string gIdentityRow(const InfoReply& maker, const InfoReply& model, const InfoReply& revision);
// AT+CGSN.
std::string gImeiRow(const InfoReply& answer);
// The IMEI of an OK answer to AT+CGSN; none when it holds none.
std::optional<std::string> gImeiOf(const InfoReply& answer);
// AT+CPIN?.
std::string gSimRow(const InfoReply& answer);
// AT+CSQ: the level in dBm and in words.
std::string gSignalRow(const InfoReply& answer);
// AT+CREG?.
std::string gRegistrationRow(const InfoReply& answer);

// The check's words for a CSQ level of 0 to 31.
const char* gSignalWord(int level);
// The level of an OK answer to AT+CSQ, 0 to 31 or 99; none for any other answer.
std::optional<int> gCsqLevel(const InfoReply& answer);
// The registration state of an answer to AT+CREG?, as its row names it; an answer that
// cannot be read is shown as "не удалось прочитать" with the modem's text.
std::string gRegistrationState(const InfoReply& answer);
