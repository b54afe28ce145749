#pragma once
// The texts of the About box, the same in every window.

#include <string>

inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 0;

// "Тервана   Version 1.0": the product name, three blanks, the version.
std::string gAboutVersionText();
// The copyright line, ending in three blanks and the build date.
std::string gAboutCopyrightText();
