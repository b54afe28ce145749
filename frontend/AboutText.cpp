#include "frontend/AboutText.h"

#include "frontend/BuildDate.h"

std::string gAboutVersionText() {
    return std::string(ProductName) + "   Version " + std::to_string(VersionMajor) + "." + std::to_string(VersionMinor);
}

std::string gAboutCopyrightText() { return "Copyright (C) Halvstad   " + gBuildDate(); }
