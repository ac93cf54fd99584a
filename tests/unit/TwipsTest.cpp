#include "platform/Twips.h"

#include <gtest/gtest.h>

namespace volane {
namespace {

struct TwipsCase {
    double twips;
    int dpi;
    int pixels;
};

TEST(TwipsTest, TwipsToPixelsRoundsToNearest) {
    const TwipsCase cases[] = {
        {3540, 96, 236},   // frmMain's client width
        {6690, 96, 446},   // frmMain's client height
        {270, 96, 18},     // Picture1
        {2340, 96, 156},   // frmAbout's client left
        {7, 96, 0},        // below half a pixel
        {7.5, 96, 1},      // exactly half a pixel rounds up
        {-7.5, 96, -1},    // and away from zero on the left of the screen
        {-400, 96, -27},   // 26.67
        {3540, 144, 354},  // 150 %: 10 twips per pixel
        {3540, 120, 295},  // 125 %: 12 twips per pixel
        {880, 192, 117},   // 200 %: 117.33
        {0, 96, 0},
    };
    for (const TwipsCase& c : cases) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
    }
}

TEST(TwipsTest, PixelsToTwipsIsExact) {
    EXPECT_DOUBLE_EQ(PixelsToTwips(1, 96), 15.0);
    EXPECT_DOUBLE_EQ(PixelsToTwips(236, 96), 3540.0);
    EXPECT_DOUBLE_EQ(PixelsToTwips(-27, 96), -405.0);
    EXPECT_DOUBLE_EQ(PixelsToTwips(3, 144), 30.0);
    EXPECT_DOUBLE_EQ(PixelsToTwips(1, 120), 12.0);
    EXPECT_NEAR(PixelsToTwips(1, 110), 13.0909, 1e-4);
}

TEST(TwipsTest, RoundTripKeepsEveryPixel) {
    for (int dpi : {96, 110, 120, 144, 192, 288}) {
        for (int px = -2000; px <= 2000; ++px) {
            ASSERT_EQ(TwipsToPixels(PixelsToTwips(px, dpi), dpi), px) << px << " at " << dpi;
        }
    }
}

}  // namespace
}  // namespace volane
