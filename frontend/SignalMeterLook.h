#pragma once
// What the signal meter shows in every window: how many readings its plot keeps, the
// bands it shades and the marks of its scale, the bar's length for a level, and its texts.

#include <cstdint>
#include <string>

#include "toolkit/SignalReading.h"

inline constexpr int SignalPlotLength = 120;

// A shaded band of the plot: the check's word for it and its colour, as 0xRRGGBB.
struct SignalBandShade {
    const char* Word;
    uint32_t Rgb;
};
inline constexpr SignalBandShade SignalBandShades[] = {{"хороший", 0x7cc02c}, {"слабый", 0xe06c10}};

// The dBm marks of the plot's scale, each inside the span a modem reports.
inline constexpr int SignalScaleMarks[] = {-110, -90, -70};

inline constexpr const char* SignalStopText = "Стоп";

// The meter window's title.
std::string gSignalMeterTitle();

// The bar's filled length out of full, from none to the best level a modem reports; none
// when the modem gave no level.
int gSignalBarLength(const SignalReading& reading, int full);

// The large figure: "-79 дБм", or the words for no signal.
std::string gSignalFigureText(const SignalReading& reading);

// The check's words beside the figure; empty when the figure already says there is none.
std::string gSignalWordsText(const SignalReading& reading);

// The registration line under the plot.
std::string gSignalRegistrationText(const SignalReading& reading);
