#pragma once
// The texts of the About box, the same in every window.

#include <string>

// The product name, which also titles the main window, and the About box's caption.
inline constexpr const char* ProductName = "Тервана";
inline constexpr const char* AboutCaption = "О программе";
inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 0;

// "Тервана   Version 1.0": the product name, three blanks, the version.
std::string gAboutVersionText();
// The copyright line, ending in three blanks and the build date.
std::string gAboutCopyrightText();
