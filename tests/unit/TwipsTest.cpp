// Twips to pixels and back, and the pictures' size at each scaling.
#include "Fakes.h"
#include "platform/Twips.h"

namespace volane::test {

TEST(Twips, TwipsRoundToTheNearestPixelAndBackExactly) {
    const std::pair<double, int> at96[] = {{3540, 236}, {5000, 333}, {7, 0}, {7.5, 1},
                                           {-7.5, -1},  {-400, -27}, {14, 1}};
    ExpectEach([](double twips) { return TwipsToPixels(twips, 96); }, at96);
    // The node pictures' size at the display's scaling: 100, 125, 150 and 200 %.
    const std::pair<int, int> pictures[] = {{96, 18}, {120, 23}, {144, 27}, {192, 36}};
    ExpectEach([](int dpi) { return ScaledPixels(18, dpi); }, pictures);
    for (int dpi : {96, 110, 144, 192})
        for (int px = -500; px <= 500; ++px)
            ASSERT_EQ(TwipsToPixels(PixelsToTwips(px, dpi), dpi), px);
}

}  // namespace volane::test
