// Twips to pixels and back.
#include "Fakes.h"
#include "platform/Twips.h"

namespace volane::test {

TEST(Twips, TwipsRoundToTheNearestPixelAndBackExactly) {
    const std::pair<double, int> at96[] = {{3540, 236}, {5000, 333}, {7, 0}, {7.5, 1},
                                           {-7.5, -1},  {-400, -27}, {14, 1}};
    ExpectEach([](double twips) { return TwipsToPixels(twips, 96); }, at96);
    for (int dpi : {96, 110, 144, 192})
        for (int px = -500; px <= 500; ++px)
            ASSERT_EQ(TwipsToPixels(PixelsToTwips(px, dpi), dpi), px);
}

}  // namespace volane::test
