// The single-instance protocol's restore request.
#include "Fakes.h"
#include "modules/mdlMsg.h"

namespace volane::test {

TEST(mdlMsg, OnlyTheShowCodeOfMessage1025IsTheRestoreRequest) {
    EXPECT_TRUE(IsShowRequest(1025, 4001));
    const std::pair<unsigned, unsigned> others[] = {{1025, 123}, {1025, 0}, {1024, 4001}};
    for (auto [message, wParam] : others) EXPECT_FALSE(IsShowRequest(message, wParam)) << wParam;
}

}  // namespace volane::test
