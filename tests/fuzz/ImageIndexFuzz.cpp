// GetImageIndex on any text, with the icon table filled by InitImages as at start-up.
// Input: the type name, the whole input.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "modules/mdlApp.h"
#include "platform/TextUtil.h"

namespace {

using volane::fuzz::AsciiLower;
using volane::fuzz::AsciiUpper;

// Just enough of Picture1 and ilFiles for InitImages: a count that grows with every add.
class CountingStage final : public volane::IPictureStage {
  public:
    void LoadPicture(const std::wstring&) override {}
    int ImageCount() const override { return count_; }
    void AddDrawnImage(int index) override { count_ = index; }
    void AttachToTree() override {}

  private:
    int count_ = 0;
};

// The pictures by name, written out here rather than taken from the library's table.
constexpr std::array<std::wstring_view, 9> kExpected = {L"qe",  L"root", L"folder", L"css", L"html",
                                                        L"htm", L"js",   L"php",    L"txt"};

int ReferenceIndex(std::wstring_view typeName) {
    std::wstring lower;
    for (wchar_t c : typeName) {
        // No character outside ASCII lower-cases into ASCII, so such a name has no picture.
        if (c > 0x7F) return 1;
        lower += AsciiLower(c);
    }
    for (std::size_t i = 0; i < kExpected.size(); ++i)
        if (kExpected[i] == lower) return static_cast<int>(i + 1);
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CountingStage stage;
    volane::InitImages(stage);
    for (std::size_t slot = 1; slot <= kExpected.size(); ++slot)
        FUZZ_CHECK(volane::ImageNames[slot] && *volane::ImageNames[slot] == kExpected[slot - 1]);
    FUZZ_CHECK(!volane::ImageNames[10]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring typeName = volane::fuzz::Widen(volane::fuzz::AsBytes(data, size));

    const int index = volane::GetImageIndex(typeName);
    FUZZ_CHECK(index >= 1 && index <= 9);
    FUZZ_CHECK(index == ReferenceIndex(typeName));

    // Case variants of the ASCII letters: all upper, all lower, and alternating.
    std::wstring upper(typeName), lower(typeName), mixed(typeName);
    for (std::size_t i = 0; i < typeName.size(); ++i) {
        upper[i] = AsciiUpper(typeName[i]);
        lower[i] = AsciiLower(typeName[i]);
        mixed[i] = (i % 2) ? AsciiUpper(typeName[i]) : AsciiLower(typeName[i]);
    }
    FUZZ_CHECK(volane::GetImageIndex(upper) == index);
    FUZZ_CHECK(volane::GetImageIndex(lower) == index);
    FUZZ_CHECK(volane::GetImageIndex(mixed) == index);

    // The lower-casing the lookup relies on keeps the length and is settled after one pass.
    const std::wstring once = volane::LowerCase(typeName);
    FUZZ_CHECK(once.size() == typeName.size());
    FUZZ_CHECK(volane::LowerCase(once) == once);
    return 0;
}
