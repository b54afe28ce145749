#pragma once
// printf-style formatting into a string, for the fixed texts with %d and %s.

#include <string>

std::string gFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// value with one decimal and point as the decimal separator.
std::string gOneDecimal(double value, char point);
