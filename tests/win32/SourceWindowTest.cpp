#include <algorithm>

#include "tests/win32/Support.h"

namespace volane::test {
namespace {

using SourceWindowTest = AppTest;

TEST_F(SourceWindowTest, IconTableOnTheRealImageList) {
    app.LoadSourceForm();
    EXPECT_EQ(::FindWindowExW(HWND_MESSAGE, nullptr, L"Volane.frmSource", nullptr),
              app.source.Window());
    app.InitImages();
    HIMAGELIST images = app.source.ilFiles();
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    EXPECT_EQ(width, app.main.Dpi() == 144 ? 27 : 18);  // at the DPI it starts at
    // No picture repeats the one before but htm's, which has no bitmap and repeats html's.
    for (int i = 1; i < 9; ++i) EXPECT_EQ(Drawn(images, i) == Drawn(images, i - 1), i == 5) << i;
    app::PictureStage stage(app.module, app.source, Tree());
    // The grey of a node picture is transparent: grey on the left, blue on the right.
    std::vector<DWORD> bits(18 * 18);
    for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = i % 18 < 9 ? 0xC0C0C0 : 0x0000FF;
    app.source.Picture1().SetPicture(
        win32::unique_hbitmap(::CreateBitmap(18, 18, 1, 32, bits.data())));
    stage.AddDrawnImage(10);
    stage.AttachToTree();  // the drawn images go into the list together
    // Scaled, each pixel keeps its colour: nothing is blended at the border between the two.
    const std::vector<COLORREF> drawn = Drawn(images, 9);
    EXPECT_EQ(drawn.front(), RGB(255, 0, 0));
    EXPECT_EQ(drawn[width - 1], RGB(0, 0, 255));
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), RGB(255, 0, 0)) +
                  std::count(drawn.begin(), drawn.end(), RGB(0, 0, 255)),
              width * width);
    // Transparent parts take the window colour, also when SetSysColors changes it, as a theme does.
    const int window = COLOR_WINDOW;
    const COLORREF before = ::GetSysColor(COLOR_WINDOW), black = RGB(0, 0, 0);
    for (COLORREF colour : {black, before}) {
        ::SetSysColors(1, &window, &colour);
        EXPECT_EQ(ImageList_GetBkColor(images), colour);
    }
    ::DestroyWindow(app.source.Window());
    EXPECT_EQ(app.source.Picture1().Window(), nullptr);  // no handle kept of a window gone
}

}  // namespace
}  // namespace volane::test
