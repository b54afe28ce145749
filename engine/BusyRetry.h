#pragma once
// A modem that is still starting, or whose SIM card is still being read, refuses a
// question for a moment: +CME ERROR: 515 ("please wait, init or command processing in
// progress", Huawei and ZTE data cards as ModemManager's parsers name it) and +CME ERROR:
// 14 (SIM busy, 3GPP TS 27.007). Such a question is asked again a few times before the
// modem's words are shown.

#include <cstdint>
#include <functional>

#include "serial/ReplyParser.h"

inline constexpr int BusyAttempts = 4;
inline constexpr uint32_t BusyPauseMs = 500;

// Whether the answer is one of those refusals.
bool gIsBusyRefusal(const InfoReply& answer);

// Asks by askOnce (which writes the question and reads its answer into answer) until the
// answer is no busy refusal or BusyAttempts have been made, pausing BusyPauseMs between;
// the last read's code.
ReplyCode gAskWhileBusy(const std::function<ReplyCode(InfoReply&)>& askOnce,
                        const std::function<void(uint32_t)>& pause, InfoReply& answer);
