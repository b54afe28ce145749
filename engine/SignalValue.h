#pragma once
// What the signal job makes of the modem's answers: one reading from an answer to
// AT+CSQ and one to AT+CREG?, and the summary row over a run. No I/O.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "serial/ReplyParser.h"
#include "toolkit/SignalReading.h"

namespace SignalMsg {
inline constexpr const char* Started = "Измерение уровня сигнала начато";
inline constexpr const char* NotAnswered = "Измерение не начато: модем не отвечает!";
inline constexpr const char* Stopped = "Измерение прервано!";
inline constexpr const char* NotReported = "Модем не сообщает уровень сигнала!";
inline constexpr const char* Lost = "Модем перестал отвечать! Измерение прекращено.";
inline constexpr const char* NoSignal = "нет сигнала";
}  // namespace SignalMsg

// The span of levels a modem reports, CSQ 0 to 31, for a meter's scale.
inline constexpr int LowestDbm = -113;
inline constexpr int HighestDbm = -51;

// The dBm span the check's words call word ("хороший", "слабый", ...), half a step beyond
// its first and last level so that neighbouring bands meet.
struct DbmSpan {
    double Low = 0;
    double High = 0;
};
DbmSpan gSignalBand(const char* word);
// A meter's colour for the reading's level, as 0xRRGGBB: green for the best, through
// yellow and orange, to red for none; grey when the modem gave no level.
uint32_t gSignalColour(const SignalReading& reading);

// None when the CSQ answer is not an OK answer with a level of 0 to 31 or 99: the job
// never shows a level the modem did not give.
std::optional<SignalReading> gSignalReading(const InfoReply& csq, const InfoReply& creg);

// "Измерение завершено: показаний N; ..." with the least, the median and the greatest
// level over the readings that had one.
std::string gSignalSummary(int readings, std::vector<int> dbms);
