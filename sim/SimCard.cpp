#include "sim/SimCard.h"

#include <cstdio>

namespace {

// Extended error numbers the card's answers use.
constexpr int NotAllowed = 3;
constexpr int NotSupported = 4;
constexpr int NotInserted = 10;
constexpr int PinRequired = 11;
constexpr int PukRequired = 12;
constexpr int WrongPassword = 16;
constexpr int PukTries = 10;

// The comma-separated parameters after '=', each quoted or bare, without the quotes.
std::vector<std::string> Parameters(std::string_view args) {
    std::vector<std::string> list;
    args.remove_prefix(1);
    std::string current;
    bool quoted = false;
    for (char c : args) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            list.push_back(current);
            current.clear();
        } else if (c != ' ' || quoted) {
            current += c;
        }
    }
    list.push_back(current);
    return list;
}

bool Fail(SimOutcome& out, int error) {
    out.Ok = false;
    out.CmeError = error;
    return true;
}

// A PIN offered to the card: right, it counts as given and the tries are full again;
// wrong, one try goes.
bool Offer(SimCard& card, const std::string& pin) {
    if (pin == card.Pin) {
        card.PinGiven = true;
        card.Tries = SimCard::MaxTries;
        return true;
    }
    if (card.Tries > 0) --card.Tries;
    return false;
}

bool RunPin(std::string_view args, SimCard& card, SimOutcome& out) {
    if (args == "?") {
        const SimState state = card.State();
        out.Information.push_back(state == SimState::Ready       ? "+CPIN: READY"
                                  : state == SimState::PinNeeded ? "+CPIN: SIM PIN"
                                                                 : "+CPIN: SIM PUK");
        return true;
    }
    if (args == "=?") return true;
    if (args.empty() || args.front() != '=') return Fail(out, NotSupported);
    const std::vector<std::string> p = Parameters(args);
    if (card.State() == SimState::PukNeeded) return Fail(out, PukRequired);
    if (card.State() == SimState::Ready) return Fail(out, NotAllowed);
    if (!Offer(card, p[0])) return Fail(out, WrongPassword);
    return true;
}

bool RunLock(std::string_view args, SimCard& card, SimOutcome& out) {
    if (args == "=?") {
        out.Information.push_back("+CLCK: (\"SC\")");
        return true;
    }
    if (args.empty() || args.front() != '=') return Fail(out, NotSupported);
    const std::vector<std::string> p = Parameters(args);
    if (p.size() < 2 || p[0] != "SC") return Fail(out, NotSupported);
    if (card.State() == SimState::PukNeeded) return Fail(out, PukRequired);
    if (card.State() == SimState::PinNeeded) return Fail(out, PinRequired);
    if (p[1] == "2") {
        out.Information.push_back(card.Lock ? "+CLCK: 1" : "+CLCK: 0");
        return true;
    }
    if ((p[1] != "0" && p[1] != "1") || p.size() < 3) return Fail(out, NotAllowed);
    if (card.LockFixed) {
        out.Ok = false;
        return true;
    }
    if (!Offer(card, p[2])) return Fail(out, WrongPassword);
    card.Lock = p[1] == "1";
    return true;
}

bool RunTries(std::string_view args, const SimCard& card, SimOutcome& out) {
    const std::string pin = "+CPINR: SIM PIN," + std::to_string(card.Tries) + "," + std::to_string(SimCard::MaxTries);
    const std::string puk = "+CPINR: SIM PUK," + std::to_string(PukTries) + "," + std::to_string(PukTries);
    if (args.empty()) {
        out.Information = {pin, puk};
        return true;
    }
    if (args == "=?") return true;
    const std::vector<std::string> p = args.front() == '=' ? Parameters(args) : std::vector<std::string>{};
    if (p.size() != 1) return Fail(out, NotSupported);
    if (p[0] == "SIM PIN") out.Information = {pin};
    else if (p[0] == "SIM PUK") out.Information = {puk};
    else return Fail(out, NotSupported);
    return true;
}

}  // namespace

SimState SimCard::State() const {
    if (Tries == 0) return SimState::PukNeeded;
    return Lock && !PinGiven ? SimState::PinNeeded : SimState::Ready;
}

SimCard gInsertCard(SimState state, std::string pin) {
    SimCard card;
    card.Pin = std::move(pin);
    card.Lock = state != SimState::Ready;
    if (state == SimState::PukNeeded) card.Tries = 0;
    return card;
}

bool gRunSimCommand(std::string_view name, std::string_view args, bool present, SimCard& card, SimOutcome& out) {
    if (name != "CPIN" && name != "CLCK" && name != "CPINR") return false;
    if (!present) return Fail(out, NotInserted);
    if (name == "CPIN") return RunPin(args, card, out);
    if (name == "CLCK") return RunLock(args, card, out);
    return RunTries(args, card, out);
}

std::string gCardLine(const SimCard& card) {
    return "SC lock=" + std::to_string(card.Lock ? 1 : 0) + " tries=" + std::to_string(card.Tries);
}

bool gReadCardLine(std::string_view line, SimCard& card) {
    int lock = 0;
    int tries = 0;
    char tail = 0;
    const std::string text(line);
    if (std::sscanf(text.c_str(), "SC lock=%d tries=%d%c", &lock, &tries, &tail) != 2) return false;
    if ((lock != 0 && lock != 1) || tries < 0 || tries > SimCard::MaxTries) return false;
    card.Lock = lock == 1;
    card.Tries = tries;
    card.PinGiven = false;
    return true;
}
