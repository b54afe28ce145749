#include "frontend/ComList.h"

#include "frontend/WindowChoices.h"

static_assert(HighestComNumber == 256, "ComListAllowed names the highest number");

namespace {

// One COM number of a list: digits alone, within the numbers Windows gives.
std::string ComNumber(const std::string& text, int& number) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return "\"" + text + "\" is not a number";
    if (text[0] == '0' || text.size() > 3 || std::stoi(text) > HighestComNumber) return "there is no COM" + text;
    number = std::stoi(text);
    return {};
}

}  // namespace

std::string gParseComList(const std::string& text, std::vector<int>& numbers) {
    if (text.empty()) return "the list is empty";
    size_t at = 0;
    for (;;) {
        const size_t comma = text.find(',', at);
        const std::string item = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        if (item.empty()) return "an empty place in the list";
        const size_t dash = item.find('-');
        int first = 0;
        int last = 0;
        std::string wrong = ComNumber(item.substr(0, dash), first);
        if (wrong.empty()) wrong = ComNumber(dash == std::string::npos ? item : item.substr(dash + 1), last);
        if (!wrong.empty()) return wrong;
        if (first > last) return "the range " + item + " runs backwards";
        for (int n = first; n <= last; ++n) numbers.push_back(n);
        if (comma == std::string::npos) return {};
        at = comma + 1;
    }
}

