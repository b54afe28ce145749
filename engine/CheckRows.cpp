#include "engine/CheckRows.h"

#include <charconv>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/AnswerFields.h"
#include "engine/Cp1251.h"
#include "engine/ImeiAnswer.h"
#include "engine/RegistrationAnswer.h"
#include "engine/SimAnswer.h"

namespace {

constexpr const char* Unsupported = "не поддерживается";
constexpr const char* NoAnswer = "нет ответа";

// What an item says when the modem gave no information for it: a refusal in other words
// than ERROR is shown in the modem's words.
std::string Missing(const InfoReply& answer) {
    if (answer.Code == TimedOut) return NoAnswer;
    if (answer.Code == ModemError && !answer.Final.empty() && answer.Final != "ERROR")
        return "модем выдал сообщение \"" + gCp1251ToUtf8(answer.Final) + "\"";
    return Unsupported;
}

// The value of an item shown as the modem's own text; no text counts as unsupported.
std::string TextOrMissing(const InfoReply& answer) {
    const std::string text = gInfoText(answer);
    return text.empty() ? Missing(answer) : text;
}

// An answer whose value the check cannot read, shown as the modem wrote it: never a guess.
std::string Unreadable(const std::string& line) { return "не удалось прочитать \"" + gCp1251ToUtf8(line) + "\""; }

// What an item says when no line of the answer holds it: the first line as the modem
// wrote it, or Missing when the answer has no line or is no OK answer.
std::string NoItem(const InfoReply& answer) {
    return answer.Code == Ok && !answer.Lines.empty() ? Unreadable(answer.Lines.front()) : Missing(answer);
}

// The comma-separated numbers of the level line of an OK answer to AT+CSQ: the line with
// its prefix wherever it stands, or else a first line of numbers alone ("17,99"), as some
// modems answer.
std::vector<int> CsqNumbers(const InfoReply& answer) {
    std::vector<int> numbers;
    if (answer.Code != Ok || answer.Lines.empty()) return numbers;
    std::string_view line = answer.Lines.front();
    for (const std::string& each : answer.Lines) {
        if (const std::optional<std::string_view> value = gValueAfter(each, "+CSQ")) {
            line = *value;
            break;
        }
    }
    while (!line.empty()) {
        while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
        int value = 0;
        const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
        // A quoted field ends the numbers.
        if (error != std::errc()) break;
        numbers.push_back(value);
        line.remove_prefix(static_cast<size_t>(end - line.data()));
        if (!line.empty() && line.front() != ',') return {};
        if (!line.empty()) line.remove_prefix(1);
    }
    return numbers;
}

// The item of an identity line that labels it: a revision written "Revision: 1.0", or the
// model as the last field of a list, "MODEL=V3".
std::optional<std::string_view> LabelledItem(std::string_view line) {
    if (const std::optional<std::string_view> value = gValueAfter(line, "Revision")) return value;
    const std::vector<std::string_view> fields = gFields(line);
    const std::string_view last = gTidyField(fields.back());
    if (last.starts_with("MODEL=") && last.size() > 6) return last.substr(6);
    return std::nullopt;
}

}  // namespace

const char* gSignalWord(int level) {
    if (level <= 1) return "нет сигнала";
    if (level <= 9) return "слабый";
    if (level <= 14) return "средний";
    if (level <= 19) return "хороший";
    return "отличный";
}

std::optional<int> gCsqLevel(const InfoReply& answer) {
    const std::vector<int> csq = CsqNumbers(answer);
    if (csq.empty() || !((csq[0] >= 0 && csq[0] <= 31) || csq[0] == 99)) return std::nullopt;
    return csq[0];
}

std::string gInfoText(const InfoReply& answer) {
    if (answer.Code != Ok || answer.Lines.empty()) return {};
    std::string_view line = answer.Lines.front();
    if (const std::optional<std::string_view> item = LabelledItem(line)) return gCp1251ToUtf8(*item);
    if (line.size() > 1 && line.front() == '+') {
        const size_t colon = line.find(": ");
        if (colon != std::string_view::npos) line.remove_prefix(colon + 2);
    }
    return gCp1251ToUtf8(line);
}

std::string gIdentityRow(const InfoReply& maker, const InfoReply& model, const InfoReply& revision) {
    return "Изготовитель: " + TextOrMissing(maker) + "; модель: " + TextOrMissing(model) +
           "; версия: " + TextOrMissing(revision);
}

std::optional<std::string> gImeiOf(const InfoReply& answer) {
    if (answer.Code != Ok) return std::nullopt;
    for (const std::string& line : answer.Lines)
        if (std::optional<std::string> imei = gImei(line)) return imei;
    return std::nullopt;
}

std::string gImeiRow(const InfoReply& answer) {
    const std::optional<std::string> imei = gImeiOf(answer);
    return "IMEI: " + (imei ? *imei : NoItem(answer));
}

std::string gSimRow(const InfoReply& answer) {
    if (answer.Code == ModemError) {
        if (std::optional<std::string> words = gSimErrorWords(answer.CmeError, answer.Final))
            return "SIM-карта: " + *words;
    }
    if (answer.Code == Ok) {
        for (const std::string& line : answer.Lines) {
            const std::optional<std::string> code = gSimCode(line);
            if (!code) continue;
            const std::optional<std::string> words = gSimCodeWords(*code);
            return "SIM-карта: " + (words ? *words : Unreadable(line));
        }
    }
    return "SIM-карта: " + NoItem(answer);
}

std::string gSignalRow(const InfoReply& answer) {
    const std::vector<int> csq = CsqNumbers(answer);
    std::string level;
    if (csq.empty()) {
        level = TextOrMissing(answer);
    } else if (csq[0] >= 0 && csq[0] <= 31) {
        level = std::to_string(-113 + 2 * csq[0]) + " дБм, " + gSignalWord(csq[0]);
    } else {
        level = "неизвестен";
    }
    return "Уровень сигнала: " + level;
}

std::string gRegistrationState(const InfoReply& answer) {
    // The last +CREG line is the answer: an unsolicited one may come before it, and a
    // +CGREG line is the packet network's state, not the one asked for.
    if (answer.Code == Ok) {
        for (auto line = answer.Lines.rbegin(); line != answer.Lines.rend(); ++line) {
            if (!gValueAfter(*line, "+CREG")) continue;
            const std::optional<int> stat = gRegistrationStat(*line);
            return stat ? gRegistrationWords(*stat) : Unreadable(*line);
        }
    }
    return NoItem(answer);
}

std::string gRegistrationRow(const InfoReply& answer) { return "Регистрация в сети: " + gRegistrationState(answer); }
