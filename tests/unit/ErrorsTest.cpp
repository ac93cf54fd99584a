// The number and text that the fatal box shows for each of Volane's own failures.
#include "Fakes.h"
#include "platform/Errors.h"

namespace volane::test {

TEST(Errors, EachFailureHasTheNumberAndTextTheBoxShows) {
    std::wstring shown;
    for (int f = 0; f <= static_cast<int>(Failure::CreateImageList); ++f) {
        const AppError error(static_cast<Failure>(f), L"{}", L"b");  // a detail like a placeholder
        shown += std::to_wstring(error.Number()) + L" " + error.Description() + L"\n";
    }
    EXPECT_EQ(
        shown,
        L"5 无效的过程调用或参数\n6 溢出\n7 内存不足\n9 下标越界\n13 类型不匹配\n51 内部错误\n"
        L"326 找不到标识符为 '{}' 的资源\n380 无效属性值\n481 无效图片\n35600 索引超出范围\n"
        L"35602 键不唯一\n5 无法创建窗体 {}，错误 b\n5 无法创建控件 {}\n7 无法创建菜单\n"
        L"7 无法创建图像列表\n");
}

}  // namespace volane::test
