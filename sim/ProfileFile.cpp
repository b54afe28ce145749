#include "sim/ProfileFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "sim/AtCommands.h"

std::optional<ModemSettings> gLoadProfile(const std::string& file, const ModemSettings& base) {
    std::ifstream in(file);
    std::string line;
    std::string_view body;
    if (!std::getline(in, line) || !gCommandBody(line, body)) return std::nullopt;
    ModemSettings loaded = base;
    ModemSettings unused = base;
    SimCard noCard;
    if (!gRunCommands(body, loaded, unused, noCard, AtRules{}).Ok) return std::nullopt;
    return gStoredPart(loaded, base);
}

bool gLoadCard(const std::string& file, SimCard& card) {
    std::ifstream in(file);
    std::string line;
    return std::getline(in, line) && std::getline(in, line) && gReadCardLine(line, card);
}

bool gSaveProfile(const std::string& file, const ModemSettings& p, const SimCard& card) {
    char line[128];
    std::snprintf(line, sizeof line, "ATE%dV%dX%dL%d&D%dS0=%dS7=%dS18=%d+CRC=%d+CBST=%d,0,1+IPR=%u\n",
                  p.Echo ? 1 : 0, p.Verbose ? 1 : 0, p.ResultSet, p.Loudness, p.DtrMode, p.AutoAnswer,
                  p.CarrierWait, p.CauseReport, p.RingReport ? 1 : 0, p.BearerService, p.Speed);
    const std::string temporary = file + ".new";
    {
        std::ofstream out(temporary, std::ios::out | std::ios::trunc);
        if (!(out << line << gCardLine(card) << '\n') || !out.flush()) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temporary, file, ec);
    return !ec;
}
