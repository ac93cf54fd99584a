// frmSource and the icon table: InitImages through the real picture stage, with the node
// bitmaps of Volane.exe.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "modules/mdlApp.h"
#include "platform/win32/SourceWindow.h"
#include "tests/win32/FormFixtures.h"

namespace volane::test {
namespace {

using win32::PictureStage;
using win32::SourceWindow;

using Pixels = std::vector<COLORREF>;

// The pixels of a bitmap inside a rectangle, read as 32-bit colours, top row first.
Pixels ReadPixels(HBITMAP bitmap, RECT area) {
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof(info), &info);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> all(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), all.data(), &header,
                DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    Pixels pixels;
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x)
            pixels.push_back(all[static_cast<std::size_t>(y) * info.bmWidth + x] & 0xFFFFFF);
    return pixels;
}

class ImagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(resources.Module(), nullptr) << "Volane.exe must be built beside the tests";
        source.Load();
        tree = ::CreateWindowExW(0, WC_TREEVIEWW, L"", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    }
    void TearDown() override { ::DestroyWindow(tree); }

    PictureStage Stage() {
        return PictureStage(resources.Module(), source.Picture1(), source.ilFiles(), tree);
    }
    Pixels Image(int oneBased) {
        IMAGEINFO info{};
        EXPECT_TRUE(ImageList_GetImageInfo(source.ilFiles(), oneBased - 1, &info));
        return ReadPixels(info.hbmImage, info.rcImage);
    }
    Pixels Mask(int oneBased) {
        IMAGEINFO info{};
        ImageList_GetImageInfo(source.ilFiles(), oneBased - 1, &info);
        return ReadPixels(info.hbmMask, info.rcImage);
    }

    VolaneResources resources;
    win32::FormList forms;
    SourceWindow source{forms, resources.Module()};
    HWND tree = nullptr;
};

TEST_F(ImagesTest, SourceFormIsHiddenWithItsDesignedPictureBox) {
    EXPECT_FALSE(::IsWindowVisible(source.Window()));
    EXPECT_EQ(source.Caption(), L"Form1");
    EXPECT_EQ(ClientRect(source.Window()).right, 304);
    EXPECT_EQ(ClientRect(source.Window()).bottom, 202);
    const RECT box = RectInParent(source.Picture1().Window());
    EXPECT_EQ(box.left, 16);
    EXPECT_EQ(box.top, 16);
    EXPECT_EQ(box.right - box.left, 18);
    EXPECT_EQ(box.bottom - box.top, 18);
    int width = 0, height = 0;
    ImageList_GetIconSize(source.ilFiles(), &width, &height);
    EXPECT_EQ(width, 18);
    EXPECT_EQ(height, 18);
    EXPECT_EQ(ImageList_GetImageCount(source.ilFiles()), 0);
}

TEST_F(ImagesTest, InitImagesFillsNineImagesAndAttachesThemToTheTree) {
    PictureStage stage = Stage();
    InitImages(stage);
    ASSERT_EQ(ImageList_GetImageCount(source.ilFiles()), 9);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(::SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)),
              source.ilFiles());
    for (int i = 1; i <= 9; ++i) {
        ASSERT_TRUE(ImageNames[static_cast<std::size_t>(i)].has_value());
        EXPECT_EQ(*ImageNames[static_cast<std::size_t>(i)],
                  kTypeNames[static_cast<std::size_t>(i - 1)]);
    }
    EXPECT_FALSE(ImageNames[10].has_value());

    // htm has no bitmap of its own: image 6 is image 5 again, pixel for pixel. Every other
    // picture differs from all the others.
    std::vector<Pixels> images;
    for (int i = 1; i <= 9; ++i) images.push_back(Image(i));
    ASSERT_EQ(images[4].size(), 18u * 18u);
    EXPECT_EQ(images[4], images[5]);
    for (std::size_t a = 0; a < images.size(); ++a) {
        for (std::size_t b = a + 1; b < images.size(); ++b) {
            if (!(a == 4 && b == 5)) {
                EXPECT_NE(images[a], images[b]) << a + 1 << " vs " << b + 1;
            }
        }
    }

    // The list holds the pictures as drawn: the folder bitmap's own pixels, on the near-white
    // background, and nothing masked out.
    win32::unique_hbitmap folder(static_cast<HBITMAP>(
        ::LoadImageW(resources.Module(), L"FOLDER", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    EXPECT_EQ(images[2], ReadPixels(folder.get(), {0, 0, 18, 18}));
    for (int i = 1; i <= 9; ++i) {
        EXPECT_EQ(images[static_cast<std::size_t>(i - 1)][0], RGB(252, 252, 252)) << i;
        const Pixels mask = Mask(i);
        EXPECT_EQ(std::count(mask.begin(), mask.end(), RGB(0, 0, 0)),
                  static_cast<std::ptrdiff_t>(mask.size()))
            << "image " << i << " has transparent pixels";
    }
}

TEST_F(ImagesTest, ResourceNamesAreFoundWithoutRegardToCase) {
    PictureStage stage = Stage();
    stage.LoadPicture(L"qe");
    stage.AddDrawnImage(1);
    stage.LoadPicture(L"Qe");
    stage.AddDrawnImage(2);
    stage.LoadPicture(L"ROOT");
    stage.AddDrawnImage(3);
    EXPECT_EQ(Image(1), Image(2));
    EXPECT_NE(Image(1), Image(3));
}

TEST_F(ImagesTest, MissingBitmapAndMisplacedIndexFailWithoutChangingTheList) {
    PictureStage stage = Stage();
    stage.LoadPicture(L"css");
    stage.AddDrawnImage(1);
    const Pixels before = Image(1);
    try {
        stage.LoadPicture(L"htm");  // there is no HTM bitmap
        FAIL() << "a missing bitmap loaded";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), kErrResourceNotFound);
        EXPECT_NE(e.Description().find(L"htm"), std::wstring::npos);
    }
    for (int index : {1, 3, 0}) {
        try {
            stage.AddDrawnImage(index);
            FAIL() << "index " << index << " was taken";
        } catch (const AppError& e) {
            EXPECT_EQ(e.Number(), 35600);
        }
    }
    EXPECT_EQ(stage.ImageCount(), 1);
    // Picture1 still shows the CSS bitmap: the next image is that one again.
    stage.AddDrawnImage(2);
    EXPECT_EQ(Image(2), before);
}

}  // namespace
}  // namespace volane::test
