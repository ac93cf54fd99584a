// Entry of the Win32 tests: common controls v6 are registered once for every test.
// <windows.h> must come first: the other Win32 headers build on it.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

class CommonControlsEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&icc);
    }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new CommonControlsEnvironment);
    return RUN_ALL_TESTS();
}
