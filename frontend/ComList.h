#pragma once
// A list of COM numbers as an operator writes it: "3", "3,5-8".

#include <string>
#include <vector>

// What such a list may hold, for the line that tells what is wrong.
inline constexpr const char* ComListAllowed =
    "COM numbers from 1 to 256, one by one or as ranges, separated by commas, as in 3,5-8";

// The numbers in the order given, repeats kept; empty on success, otherwise what is
// wrong with the list.
std::string gParseComList(const std::string& text, std::vector<int>& numbers);
