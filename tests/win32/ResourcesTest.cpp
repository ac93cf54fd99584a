// Reads the resources of the built Volane.exe as data and checks each one: the node bitmaps in
// their exact 1340-byte layout, the two icons, the About picture, the custom ICO copy of the
// application icon, the version record and the manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "identity.h"
#include "platform/win32/Handles.h"
#include "resource.h"
#include "tests/win32/TestSupport.h"

namespace {

using Bytes = std::span<const std::uint8_t>;

inline void ReleaseModule(HMODULE h) noexcept {
    ::FreeLibrary(h);
}
using unique_hmodule = volane::win32::unique_any<HMODULE, ReleaseModule>;

constexpr LANGID kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
constexpr LANGID kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

template <typename T>
T Read(Bytes data, std::size_t offset) {
    if (offset + sizeof(T) > data.size()) throw std::out_of_range("read past the resource");
    T v;
    std::memcpy(&v, data.data() + offset, sizeof(T));
    return v;
}

struct Rgb {
    int r, g, b;
};

// Pixel (x, y), counted from the top, of a bottom-up 32-bit DIB that starts with its header.
Rgb PixelAt(Bytes dib, int width, int height, int x, int y) {
    const std::size_t at = 40 + (static_cast<std::size_t>(height - 1 - y) * width + x) * 4;
    return {Read<std::uint8_t>(dib, at + 2), Read<std::uint8_t>(dib, at + 1),
            Read<std::uint8_t>(dib, at)};
}

bool Near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

// Resource names are ASCII; this makes them printable in failure messages.
std::string Narrow(const wchar_t* ascii) {
    std::string s;
    for (; *ascii; ++ascii) s.push_back(static_cast<char>(*ascii));
    return s;
}

class ResourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        exe.reset(::LoadLibraryExW(volane::test::VolaneExePath().c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_NE(exe, nullptr) << "cannot load Volane.exe, error " << ::GetLastError();
    }

    // The data of a resource, empty when it does not exist.
    Bytes Find(LPCWSTR type, LPCWSTR name) const {
        HRSRC info = ::FindResourceW(exe.get(), name, type);
        if (!info) return {};
        HGLOBAL loaded = ::LoadResource(exe.get(), info);
        if (!loaded) return {};
        return {static_cast<const std::uint8_t*>(::LockResource(loaded)),
                ::SizeofResource(exe.get(), info)};
    }

    std::set<LANGID> Languages(LPCWSTR type, LPCWSTR name) const {
        std::set<LANGID> found;
        ::EnumResourceLanguagesW(
            exe.get(), type, name,
            [](HMODULE, LPCWSTR, LPCWSTR, WORD lang, LONG_PTR param) -> BOOL {
                reinterpret_cast<std::set<LANGID>*>(param)->insert(lang);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&found));
        return found;
    }

    unique_hmodule exe;
};

// ---------------------------------------------------------------------------------------------
// The node bitmaps.

struct NodeBitmap {
    const wchar_t* lookup;  // how the code asks for it: lower case
    const wchar_t* name;    // how it is stored
    Rgb accent;             // the colour that tells it from the others
};

constexpr NodeBitmap kNodeBitmaps[] = {
    {L"qe", L"QE", {214, 40, 40}},           {L"root", L"ROOT", {40, 200, 70}},
    {L"folder", L"FOLDER", {166, 210, 242}}, {L"css", L"CSS", {32, 96, 216}},
    {L"html", L"HTML", {136, 48, 168}},      {L"js", L"JS", {0, 140, 150}},
    {L"php", L"PHP", {40, 150, 56}},         {L"txt", L"TXT", {24, 40, 128}},
};

TEST_F(ResourcesTest, NodeBitmapsHaveTheExactLayout) {
    for (const NodeBitmap& bm : kNodeBitmaps) {
        SCOPED_TRACE(Narrow(bm.name));
        const Bytes dib = Find(RT_BITMAP, bm.lookup);
        ASSERT_EQ(dib.size(), 1340u);
        EXPECT_EQ(Languages(RT_BITMAP, bm.name), std::set<LANGID>{kChinesePrc});
        EXPECT_EQ(Read<std::uint32_t>(dib, 0), 40u);     // header size
        EXPECT_EQ(Read<std::int32_t>(dib, 4), 18);       // width
        EXPECT_EQ(Read<std::int32_t>(dib, 8), 18);       // height, bottom-up
        EXPECT_EQ(Read<std::uint16_t>(dib, 12), 1);      // planes
        EXPECT_EQ(Read<std::uint16_t>(dib, 14), 32);     // bits per pixel
        EXPECT_EQ(Read<std::uint32_t>(dib, 16), 0u);     // BI_RGB
        EXPECT_EQ(Read<std::uint32_t>(dib, 20), 1298u);  // image size
        EXPECT_EQ(Read<std::int32_t>(dib, 24), 3778);
        EXPECT_EQ(Read<std::int32_t>(dib, 28), 3778);
        EXPECT_EQ(Read<std::uint32_t>(dib, 32), 0u);  // colours used
        EXPECT_EQ(Read<std::uint32_t>(dib, 36), 0u);  // important colours
        EXPECT_EQ(Read<std::uint32_t>(dib, 1336), 0u) << "trailer";

        int fourthByteSet = 0, maskColoured = 0, accent = 0;
        for (int i = 0; i < 18 * 18; ++i) {
            if (dib[40 + i * 4 + 3] != 0) ++fourthByteSet;
            const Rgb p = PixelAt(dib, 18, 18, i % 18, i / 18);
            if (p.r == 192 && p.g == 192 && p.b == 192) ++maskColoured;
            if (Near(p, bm.accent, 24)) ++accent;
        }
        EXPECT_EQ(fourthByteSet, 0);
        EXPECT_EQ(maskColoured, 0) << "192,192,192 turns transparent in the image list";
        EXPECT_GE(accent, 2) << "too few pixels of the picture's own colour";
        for (auto [x, y] : {std::pair{0, 0}, {17, 0}, {0, 17}, {17, 17}}) {
            const Rgb p = PixelAt(dib, 18, 18, x, y);
            EXPECT_TRUE(p.r == 252 && p.g == 252 && p.b == 252) << "corner " << x << "," << y;
        }
    }
}

TEST_F(ResourcesTest, NodeBitmapsAreDistinctAndThereIsNoneForHtm) {
    std::set<std::vector<std::uint8_t>> pictures;
    for (const NodeBitmap& bm : kNodeBitmaps) {
        const Bytes dib = Find(RT_BITMAP, bm.name);
        pictures.emplace(dib.begin(), dib.end());
    }
    EXPECT_EQ(pictures.size(), std::size(kNodeBitmaps));
    EXPECT_EQ(Find(RT_BITMAP, L"HTM").size(), 0u);
}

TEST_F(ResourcesTest, NodeBitmapsLoadAsEighteenPixelBitmaps) {
    for (const NodeBitmap& bm : kNodeBitmaps) {
        volane::win32::unique_hbitmap bitmap(static_cast<HBITMAP>(
            ::LoadImageW(exe.get(), bm.lookup, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        ASSERT_NE(::GetObjectW(bitmap.get(), sizeof(info), &info), 0);
        EXPECT_EQ(info.bmWidth, 18);
        EXPECT_EQ(info.bmHeight, 18);
    }
}

// ---------------------------------------------------------------------------------------------
// Icons.

struct GroupEntry {
    int width, height, colourCount, planes, bitCount;
    std::uint32_t bytes;
    int id;
};

std::vector<GroupEntry> ParseGroup(Bytes group) {
    if (Read<std::uint16_t>(group, 0) != 0 || Read<std::uint16_t>(group, 2) != 1)
        throw std::runtime_error("not an icon group");
    std::vector<GroupEntry> entries(Read<std::uint16_t>(group, 4));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t at = 6 + i * 14;
        entries[i] = {Read<std::uint8_t>(group, at),      Read<std::uint8_t>(group, at + 1),
                      Read<std::uint8_t>(group, at + 2),  Read<std::uint16_t>(group, at + 4),
                      Read<std::uint16_t>(group, at + 6), Read<std::uint32_t>(group, at + 8),
                      Read<std::uint16_t>(group, at + 12)};
    }
    return entries;
}

int RowBytes(int width, int bpp) {
    return (width * bpp + 31) / 32 * 4;
}

TEST_F(ResourcesTest, ApplicationIconHasThreeAlphaImages) {
    const Bytes group = Find(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_APP));
    ASSERT_FALSE(group.empty());
    EXPECT_EQ(IDI_APP, 1);
    EXPECT_EQ(Languages(RT_GROUP_ICON, MAKEINTRESOURCEW(1)), std::set<LANGID>{kNeutral});
    const auto entries = ParseGroup(group);
    ASSERT_EQ(entries.size(), 3u);
    const int sizes[] = {48, 32, 16};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const GroupEntry& e = entries[i];
        const int size = sizes[i];
        SCOPED_TRACE(testing::Message() << "image of " << size << " px");
        EXPECT_EQ(e.width, size);
        EXPECT_EQ(e.height, size);
        EXPECT_EQ(e.bitCount, 32);
        EXPECT_EQ(e.planes, 1);
        EXPECT_EQ(e.id, static_cast<int>(i) + 1);
        EXPECT_EQ(Languages(RT_ICON, MAKEINTRESOURCEW(e.id)), std::set<LANGID>{kNeutral});
        const Bytes image = Find(RT_ICON, MAKEINTRESOURCEW(e.id));
        ASSERT_EQ(image.size(), e.bytes);
        ASSERT_EQ(image.size(),
                  40u + size * size * 4 + static_cast<std::size_t>(RowBytes(size, 1)) * size);
        EXPECT_EQ(Read<std::int32_t>(image, 4), size);
        EXPECT_EQ(Read<std::int32_t>(image, 8), 2 * size);
        EXPECT_EQ(Read<std::uint16_t>(image, 14), 32);
        // A real alpha channel: transparent surroundings, opaque inside, smooth edges.
        int clear = 0, opaque = 0, partial = 0;
        for (int p = 0; p < size * size; ++p) {
            const int a = image[40 + p * 4 + 3];
            (a == 0 ? clear : a == 255 ? opaque : partial)++;
        }
        EXPECT_GT(clear, 0);
        EXPECT_GT(opaque, size * size / 3);
        EXPECT_GT(partial, 0);
    }
}

TEST_F(ResourcesTest, IcoResourceIsTheApplicationIconAsAFile) {
    EXPECT_EQ(Languages(L"ICO", L"APP"), std::set<LANGID>{kChinesePrc});
    const Bytes file = Find(L"ICO", L"APP");
    const auto entries = ParseGroup(Find(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_APP)));
    ASSERT_EQ(entries.size(), 3u);

    // An .ico file is the group's header, its entries with file offsets instead of IDs, and
    // the images one after another.
    std::vector<std::uint8_t> expected;
    auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) expected.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put(0, 2);
    put(1, 2);
    put(3, 2);
    std::uint32_t offset = 6 + 16 * 3;
    for (const GroupEntry& e : entries) {
        put(e.width, 1);
        put(e.height, 1);
        put(e.colourCount, 1);
        put(0, 1);
        put(e.planes, 2);
        put(e.bitCount, 2);
        put(e.bytes, 4);
        put(offset, 4);
        offset += e.bytes;
    }
    for (const GroupEntry& e : entries) {
        const Bytes image = Find(RT_ICON, MAKEINTRESOURCEW(e.id));
        expected.insert(expected.end(), image.begin(), image.end());
    }
    ASSERT_EQ(file.size(), expected.size());
    EXPECT_TRUE(std::equal(file.begin(), file.end(), expected.begin()));
}

TEST_F(ResourcesTest, WindowIconHasEightPaletteImagesWithMasks) {
    const Bytes group = Find(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_WINDOW));
    ASSERT_FALSE(group.empty());
    const auto entries = ParseGroup(group);
    ASSERT_EQ(entries.size(), 8u);
    const int sizes[] = {16, 24, 32, 48, 64, 72, 96, 128};
    std::set<int> ids;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const GroupEntry& e = entries[i];
        const int size = sizes[i];
        SCOPED_TRACE(testing::Message() << "image of " << size << " px");
        EXPECT_EQ(e.width, size);
        EXPECT_EQ(e.height, size);
        EXPECT_EQ(e.bitCount, 8);
        EXPECT_EQ(e.planes, 1);
        EXPECT_GT(e.id, 3) << "shares an image with the application icon";
        ids.insert(e.id);
        const Bytes image = Find(RT_ICON, MAKEINTRESOURCEW(e.id));
        const std::size_t maskBytes = static_cast<std::size_t>(RowBytes(size, 1)) * size;
        ASSERT_EQ(image.size(), 40u + 256 * 4 + RowBytes(size, 8) * size + maskBytes);
        EXPECT_EQ(image.size(), e.bytes);
        EXPECT_EQ(Read<std::int32_t>(image, 4), size);
        EXPECT_EQ(Read<std::int32_t>(image, 8), 2 * size);
        EXPECT_EQ(Read<std::uint16_t>(image, 14), 8);
        // The mask leaves part of the square transparent and keeps the window opaque.
        const Bytes mask = image.subspan(image.size() - maskBytes);
        int transparent = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (mask[y * RowBytes(size, 1) + x / 8] & (0x80 >> (x % 8))) ++transparent;
        EXPECT_GT(transparent, 0);
        EXPECT_LT(transparent, size * size / 2);
    }
    EXPECT_EQ(ids.size(), 8u);
}

TEST_F(ResourcesTest, WindowIconLoadsAtTheRequestedSize) {
    for (int size : {16, 24, 32, 48, 128}) {
        volane::win32::unique_hicon icon(static_cast<HICON>(
            ::LoadImageW(exe.get(), MAKEINTRESOURCEW(IDI_WINDOW), IMAGE_ICON, size, size, 0)));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon.get(), &info));
        volane::win32::unique_hbitmap colour(info.hbmColor), mask(info.hbmMask);
        BITMAP bm{};
        ::GetObjectW(info.hbmColor, sizeof(bm), &bm);
        EXPECT_EQ(bm.bmWidth, size);
        EXPECT_EQ(bm.bmHeight, size);
    }
}

// ---------------------------------------------------------------------------------------------
// The About picture.

TEST_F(ResourcesTest, AboutPictureIsABlueBannerOverGrey) {
    const Bytes dib = Find(RT_BITMAP, MAKEINTRESOURCEW(IDB_ABOUT));
    ASSERT_EQ(dib.size(), 40u + 50 * 120 * 4);
    EXPECT_EQ(Read<std::int32_t>(dib, 4), 50);
    EXPECT_EQ(Read<std::int32_t>(dib, 8), 120);
    EXPECT_EQ(Read<std::uint16_t>(dib, 14), 32);
    EXPECT_EQ(Read<std::uint32_t>(dib, 16), 0u);
    int fourthByteSet = 0, yellow = 0;
    for (int i = 0; i < 50 * 120; ++i) {
        if (dib[40 + i * 4 + 3] != 0) ++fourthByteSet;
        const Rgb p = PixelAt(dib, 50, 120, i % 50, i / 50);
        if (p.r > 200 && p.g > 160 && p.b < 100) ++yellow;
    }
    EXPECT_EQ(fourthByteSet, 0);
    EXPECT_GT(yellow, 100) << "the lettering";
    auto blue = [](Rgb p) { return p.b > p.r + 60 && p.b > p.g + 30; };
    auto grey = [](Rgb p) { return std::abs(p.r - p.g) < 16 && std::abs(p.g - p.b) < 16; };
    EXPECT_TRUE(blue(PixelAt(dib, 50, 120, 12, 60))) << "banner";
    EXPECT_TRUE(grey(PixelAt(dib, 50, 120, 1, 60))) << "left of the banner";
    EXPECT_TRUE(grey(PixelAt(dib, 50, 120, 48, 60))) << "right of the banner";
    EXPECT_TRUE(grey(PixelAt(dib, 50, 120, 25, 119))) << "below the banner";

    volane::win32::unique_hbitmap bitmap(static_cast<HBITMAP>(
        ::LoadImageW(exe.get(), MAKEINTRESOURCEW(IDB_ABOUT), IMAGE_BITMAP, 0, 0, 0)));
    ASSERT_NE(bitmap, nullptr);
}

// ---------------------------------------------------------------------------------------------
// The version record, parsed node by node so that the order of blocks and entries shows.

struct VersionNode {
    std::wstring key;
    int type = 0;  // 1 text, 0 binary
    Bytes value;
    std::vector<VersionNode> children;

    std::wstring Text() const {
        std::wstring s(reinterpret_cast<const wchar_t*>(value.data()), value.size() / 2);
        while (!s.empty() && s.back() == L'\0') s.pop_back();
        return s;
    }
};

std::size_t Align4(std::size_t n) {
    return (n + 3) & ~std::size_t{3};
}

VersionNode ParseVersionNode(Bytes data, std::size_t at) {
    const std::size_t length = Read<std::uint16_t>(data, at);
    const std::size_t valueLength = Read<std::uint16_t>(data, at + 2);
    if (length < 6 || at + length > data.size()) throw std::out_of_range("bad version node");
    VersionNode node;
    node.type = Read<std::uint16_t>(data, at + 4);
    std::size_t p = at + 6;
    for (wchar_t c; (c = static_cast<wchar_t>(Read<std::uint16_t>(data, p))) != 0; p += 2)
        node.key.push_back(c);
    p = Align4(p + 2);
    const std::size_t valueBytes = node.type == 1 ? valueLength * 2 : valueLength;
    if (p + valueBytes > at + length) throw std::out_of_range("bad version value");
    node.value = data.subspan(p, valueBytes);
    for (p = Align4(p + valueBytes); p < at + length;) {
        node.children.push_back(ParseVersionNode(data, p));
        p = Align4(p + Read<std::uint16_t>(data, p));
    }
    return node;
}

TEST_F(ResourcesTest, VersionRecordHasTheFixedFields) {
    EXPECT_EQ(Languages(RT_VERSION, MAKEINTRESOURCEW(1)), std::set<LANGID>{kChinesePrc});
    const Bytes data = Find(RT_VERSION, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(data.empty());
    const VersionNode root = ParseVersionNode(data, 0);
    EXPECT_EQ(root.key, L"VS_VERSION_INFO");
    ASSERT_EQ(root.value.size(), sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, root.value.data(), sizeof(fixed));
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);  // 1.0
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00000040u);  // .0.64
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0x00000040u);
    EXPECT_EQ(fixed.dwFileFlags, 0u);
    EXPECT_EQ(fixed.dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed.dwFileSubtype, 0u);
    EXPECT_EQ(fixed.dwFileDateMS, 0u);
    EXPECT_EQ(fixed.dwFileDateLS, 0u);
}

TEST_F(ResourcesTest, VersionRecordHasTranslationThenStringsInOrder) {
    const VersionNode root = ParseVersionNode(Find(RT_VERSION, MAKEINTRESOURCEW(1)), 0);
    ASSERT_EQ(root.children.size(), 2u);
    const VersionNode& var = root.children[0];
    const VersionNode& strings = root.children[1];
    EXPECT_EQ(var.key, L"VarFileInfo");
    EXPECT_EQ(strings.key, L"StringFileInfo");

    ASSERT_EQ(var.children.size(), 1u);
    EXPECT_EQ(var.children[0].key, L"Translation");
    ASSERT_EQ(var.children[0].value.size(), 4u);
    EXPECT_EQ(Read<std::uint16_t>(var.children[0].value, 0), 0x0804);
    EXPECT_EQ(Read<std::uint16_t>(var.children[0].value, 2), 1200);

    ASSERT_EQ(strings.children.size(), 1u);
    const VersionNode& table = strings.children[0];
    EXPECT_EQ(table.key, L"080404B0");
    const std::vector<std::pair<std::wstring, std::wstring>> expected{
        {L"Comments", L"联系：" VOLANE_WEB_ADDRESS},
        {L"CompanyName", L"" VOLANE_WEB_ADDRESS},
        {L"FileDescription", L"1.0"},
        {L"LegalCopyright", L"" VOLANE_WEB_ADDRESS},
        {L"LegalTrademarks", L"" VOLANE_WEB_ADDRESS},
        {L"ProductName", L"编辑器 Torlin"},
        {L"FileVersion", L"1.00.0064"},
        {L"ProductVersion", L"1.00.0064"},
        {L"InternalName", L"Volane"},
        {L"OriginalFilename", L"Volane.exe"},
    };
    std::vector<std::pair<std::wstring, std::wstring>> actual;
    for (const VersionNode& entry : table.children) {
        EXPECT_EQ(entry.type, 1) << "text entry";
        actual.emplace_back(entry.key, entry.Text());
    }
    EXPECT_EQ(actual, expected);
}

TEST_F(ResourcesTest, ManifestAsksForCommonControlsAndPerMonitorDpi) {
    const Bytes data = Find(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(data.empty());
    const std::string xml(data.begin(), data.end());
    for (const char* needed :
         {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
          "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
          "PerMonitorV2,PerMonitor</dpiAwareness>",
          ">true/pm</dpiAware>", "level=\"asInvoker\"", ">true</longPathAware>",
          "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{e2011457-1546-43c5-a5fe-008deee3d3f0}"})
        EXPECT_NE(xml.find(needed), std::string::npos) << needed;
}

}  // namespace
