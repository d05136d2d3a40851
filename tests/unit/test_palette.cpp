// The host palette: the LCD's worked colour values, as every presentation
// and picture carries them.
#include <gtest/gtest.h>

#include <cstdint>

#include "host/palette.h"

namespace {

struct palette_case { int index; uint32_t rgb; };

const palette_case palette_cases[] = {
    {0, 0x000000},   {15, 0xFFFFFF},  {9, 0xFF0000},   {16, 0x000080},  {29, 0x00FFFF},
    {30, 0x140000},  {223, 0xFFFF80}, {224, 0x202020}, {229, 0x707070}, {237, 0xF0F0F0},
    {10, 0x00FF00},  {11, 0xFFFF00},  {7, 0x555555},   {245, 0xFCFDFD},
};

class Palette : public testing::TestWithParam<palette_case> {};

TEST_P(Palette, WorkedValue)
{
    EXPECT_EQ(lcd_palette[GetParam().index], GetParam().rgb) << "index " << GetParam().index;
}

INSTANTIATE_TEST_SUITE_P(Lcd, Palette, testing::ValuesIn(palette_cases));

TEST(Palette, EntriesFitInTwentyFourBits)
{
    for (int i = 0; i < 256; i++)
        EXPECT_EQ(lcd_palette[i] & 0xFF000000u, 0u) << i;
}

}  // namespace
