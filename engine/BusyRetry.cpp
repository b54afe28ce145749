#include "engine/BusyRetry.h"

#include <string_view>

#include "engine/AnswerFields.h"

namespace {

constexpr int SimBusy = 14;
constexpr int StillStarting = 515;

}  // namespace

bool gIsBusyRefusal(const InfoReply& answer) {
    if (answer.Code != ModemError) return false;
    if (answer.CmeError == SimBusy || answer.CmeError == StillStarting) return true;
    // In words, after AT+CMEE=2.
    const std::optional<std::string_view> words = gValueAfter(answer.Final, "+CME ERROR");
    return words && (*words == "SIM busy" || words->starts_with("please wait"));
}

ReplyCode gAskWhileBusy(const std::function<ReplyCode(InfoReply&)>& askOnce,
                        const std::function<void(uint32_t)>& pause, InfoReply& answer) {
    ReplyCode code = askOnce(answer);
    for (int attempt = 1; attempt < BusyAttempts && gIsBusyRefusal(answer); ++attempt) {
        pause(BusyPauseMs);
        code = askOnce(answer);
    }
    return code;
}
