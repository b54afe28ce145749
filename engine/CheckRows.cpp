#include "engine/CheckRows.h"

#include <array>
#include <charconv>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/Cp1251.h"

namespace {

constexpr const char* Unsupported = "не поддерживается";
constexpr const char* NoAnswer = "нет ответа";

// What an item says when the modem gave no information for it.
std::string Missing(const InfoReply& answer) { return answer.Code == TimedOut ? NoAnswer : Unsupported; }

// The value of an item shown as the modem's own text; no text counts as unsupported.
std::string TextOrMissing(const InfoReply& answer) {
    const std::string text = gInfoText(answer);
    return text.empty() ? Missing(answer) : text;
}

// The comma-separated numbers after "+NAME: " in the first information line of an OK answer.
std::vector<int> Numbers(const InfoReply& answer, std::string_view name) {
    std::vector<int> numbers;
    if (answer.Code != Ok || answer.Lines.empty()) return numbers;
    std::string_view line = answer.Lines.front();
    if (line.substr(0, name.size()) != name) return numbers;
    line.remove_prefix(name.size());
    while (!line.empty()) {
        while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
        int value = 0;
        const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
        // Quoted fields (the cell of +CREG) end the numbers.
        if (error != std::errc()) break;
        numbers.push_back(value);
        line.remove_prefix(static_cast<size_t>(end - line.data()));
        if (!line.empty() && line.front() != ',') return {};
        if (!line.empty()) line.remove_prefix(1);
    }
    return numbers;
}

// By the stat of +CREG.
constexpr std::array<const char*, 6> RegistrationStates = {
    "не зарегистрирован", "домашняя сеть", "поиск сети", "регистрация отклонена", "неизвестно", "роуминг"};

}  // namespace

const char* gSignalWord(int level) {
    if (level <= 1) return "нет сигнала";
    if (level <= 9) return "слабый";
    if (level <= 14) return "средний";
    if (level <= 19) return "хороший";
    return "отличный";
}

std::optional<int> gCsqLevel(const InfoReply& answer) {
    const std::vector<int> csq = Numbers(answer, "+CSQ:");
    if (csq.empty() || !((csq[0] >= 0 && csq[0] <= 31) || csq[0] == 99)) return std::nullopt;
    return csq[0];
}

std::string gInfoText(const InfoReply& answer) {
    if (answer.Code != Ok || answer.Lines.empty()) return {};
    std::string_view line = answer.Lines.front();
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

std::string gImeiRow(const InfoReply& answer) { return "IMEI: " + TextOrMissing(answer); }

std::string gSimRow(const InfoReply& answer) {
    const std::string value = gInfoText(answer);
    std::string state = value == "READY"     ? "готова"
                        : value == "SIM PIN" ? "нужен PIN-код"
                        : value == "SIM PUK" ? "нужен PUK-код"
                                             : value;
    if (answer.Code == ModemError && answer.CmeError >= 10 && answer.CmeError <= 12) {
        // The SIM errors of the modem's extended error codes.
        state = answer.CmeError == 10 ? "не вставлена" : answer.CmeError == 11 ? "нужен PIN-код" : "нужен PUK-код";
    }
    return "SIM-карта: " + (state.empty() ? Missing(answer) : state);
}

std::string gSignalRow(const InfoReply& answer) {
    const std::vector<int> csq = Numbers(answer, "+CSQ:");
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
    const std::vector<int> creg = Numbers(answer, "+CREG:");
    // The read form is "n,stat[,lac,ci]"; a bare unsolicited form carries stat alone.
    const std::optional<int> stat = creg.size() >= 2 ? creg[1] : creg.size() == 1 ? std::optional<int>(creg[0]) : std::nullopt;
    std::string state;
    if (stat && *stat >= 0 && *stat < static_cast<int>(RegistrationStates.size())) state = RegistrationStates[*stat];
    else state = TextOrMissing(answer);
    return state;
}

std::string gRegistrationRow(const InfoReply& answer) { return "Регистрация в сети: " + gRegistrationState(answer); }
