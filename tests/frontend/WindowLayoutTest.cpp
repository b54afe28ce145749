// The shared description of the windows holds each text once for the code and once as
// the bytes the resource script carries; the two must be the same text.

#include <gtest/gtest.h>

#include <string>

#include "engine/Cp1251.h"
#include "frontend/MainWindowLayout.h"
#include "frontend/WindowChoices.h"

TEST(WindowLayout, ThePlaceEntriesOfTheLayoutAreThePlaceChoices) {
    struct Entry {
        const char* Choice;
        std::string Carried;
    };
    const Entry entries[] = {
        {PlaceAtDevice, std::string(KX_PLACE_AT_DEVICE_CP1251, KX_PLACE_AT_DEVICE_CP1251_SIZE)},
        {PlaceAtComputer, std::string(KX_PLACE_AT_COMPUTER_CP1251, KX_PLACE_AT_COMPUTER_CP1251_SIZE)},
    };
    for (const Entry& e : entries) EXPECT_EQ(gToCp1251(e.Choice) + '\0', e.Carried) << e.Choice;
}
