#include "engine/CallNumber.h"

bool gIsCallNumber(std::string_view number) {
    if (!number.empty() && number.front() == '+') number.remove_prefix(1);
    return number.size() >= 3 && number.size() <= 20 && number.find_first_not_of("0123456789") == std::string_view::npos;
}
