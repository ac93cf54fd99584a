#include "modules/mdlApp.h"

#include <gtest/gtest.h>

#include "Fakes.h"
#include "modules/mdlMsg.h"

namespace volane {
namespace {

using test::FakeFileSystem;
using test::FakeTree;

// Picture1 and ilFiles as a list of which picture each image is a copy of.
class FakeStage final : public IPictureStage {
  public:
    void LoadPicture(const std::wstring& name) override {
        if (name == missing) throw AppError(kErrResourceNotFound, L"找不到资源");
        loaded.push_back(name);
        shown = name;
    }
    int ImageCount() const override { return static_cast<int>(images.size()); }
    void AddDrawnImage(int index) override {
        addedAt.push_back(index);
        images.push_back(shown);
    }
    void AttachToTree() override { attached = true; }

    std::wstring shown, missing;
    std::vector<std::wstring> loaded, images;
    std::vector<int> addedAt;
    bool attached = false;
};

class IconTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ImageNames = {};
        InitImages(stage);
    }
    void TearDown() override { ImageNames = {}; }
    FakeStage stage;
};

TEST_F(IconTableTest, FillsNineImagesWithHtmlTwice) {
    EXPECT_EQ(stage.loaded, (std::vector<std::wstring>{L"qe", L"root", L"folder", L"css", L"html",
                                                       L"js", L"php", L"txt"}));
    ASSERT_EQ(stage.images.size(), 9u);
    EXPECT_EQ(stage.images[4], L"html");
    EXPECT_EQ(stage.images[5], L"html");
    EXPECT_EQ(stage.addedAt, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(stage.attached);
    for (std::size_t i = 1; i <= 9; ++i) EXPECT_EQ(ImageNames[i], kTypeNames[i - 1]);
    EXPECT_FALSE(ImageNames[10].has_value());
}

TEST_F(IconTableTest, GetImageIndexMatchesLowerCasedNamesExactly) {
    struct Case {
        const wchar_t* name;
        int index;
    };
    const Case cases[] = {
        {L"qe", 1},   {L"root", 2}, {L"folder", 3}, {L"css", 4},   {L"html", 5},
        {L"htm", 6},  {L"js", 7},   {L"php", 8},    {L"txt", 9},   {L"CSS", 4},
        {L"Htm", 6},  {L"ROOT", 2}, {L"xml", 1},    {L"jpg", 1},   {L" css", 1},
        {L"css ", 1}, {L".css", 1}, {L"", 1},       {L"html5", 1}, {L"ph", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(GetImageIndex(c.name), c.index) << c.name;
}

TEST(IconTableFailureTest, MissingBitmapStopsWithTheRowsBefore) {
    ImageNames = {};
    FakeStage stage;
    stage.missing = L"css";
    EXPECT_THROW(InitImages(stage), AppError);
    EXPECT_EQ(stage.images.size(), 3u);
    EXPECT_EQ(ImageNames[3], L"folder");
    EXPECT_FALSE(ImageNames[4].has_value());
    EXPECT_FALSE(stage.attached);
    ImageNames = {};
}

TEST(IconTableFailureTest, WithoutTheTableEveryNameFallsBack) {
    ImageNames = {};
    EXPECT_EQ(GetImageIndex(L"root"), 1);
}

TEST(DriveTableTest, LabelsByTypeNumber) {
    EXPECT_EQ(DriveLabel(0), L"");
    EXPECT_EQ(DriveLabel(1), L"可移动磁盘(");
    EXPECT_EQ(DriveLabel(2), L"本地磁盘(");
    EXPECT_EQ(DriveLabel(3), L"");
    EXPECT_EQ(DriveLabel(4), L"光盘驱动(");
    EXPECT_EQ(DriveLabel(5), L"");
    EXPECT_EQ(DriveLabel(6), L"");
    EXPECT_EQ(DriveLabel(-1), L"");
}

class LoadDrivesTest : public IconTableTest {};

TEST_F(LoadDrivesTest, ShownDrivesInOrderWithRootPicture) {
    FakeFileSystem fs;
    fs.drives = {{L'A', 1}, {L'C', 2}, {L'E', 4}, {L'R', 5}, {L'U', 0}, {L'Z', 3}, {L'D', 2}};
    FakeTree tree;
    LoadDrives(fs, tree);
    ASSERT_EQ(tree.nodes.size(), 4u);
    const std::pair<const wchar_t*, const wchar_t*> expected[] = {{L"A:\\", L"可移动磁盘(A)"},
                                                                  {L"C:\\", L"本地磁盘(C)"},
                                                                  {L"E:\\", L"光盘驱动(E)"},
                                                                  {L"D:\\", L"本地磁盘(D)"}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(tree.nodes[i].key, expected[i].first);
        EXPECT_EQ(tree.nodes[i].text, expected[i].second);
        EXPECT_EQ(tree.nodes[i].parent, L"");
        EXPECT_EQ(tree.nodes[i].image, 2);
    }
}

TEST_F(LoadDrivesTest, AFailedAddIsFatalAndKeepsTheRootsBefore) {
    FakeFileSystem fs;
    fs.drives = {{L'C', 2}, {L'C', 2}, {L'E', 4}};
    FakeTree tree;
    EXPECT_THROW(LoadDrives(fs, tree), AppError);
    EXPECT_EQ(tree.nodes.size(), 1u);
}

class FakeChannel final : public IInstanceChannel {
  public:
    std::intptr_t FindWindowByTitle(const std::string& title) override {
        searched.push_back(title);
        return window;
    }
    void AllowForeground(std::intptr_t w) override {
        calls.push_back("allow " + std::to_string(w));
    }
    void Send(std::intptr_t w, unsigned message, std::uintptr_t wParam) override {
        calls.push_back("send " + std::to_string(w) + " " + std::to_string(message) + " " +
                        std::to_string(wParam));
    }
    std::intptr_t window = 0;
    std::vector<std::string> searched, calls;
};

class FakeSteps final : public IStartupSteps {
  public:
    void LoadMainForm() override { order.push_back("load main"); }
    void LoadSourceForm() override { order.push_back("load source"); }
    void InitImages() override { order.push_back("images"); }
    void ShowMainForm() override { order.push_back("show"); }
    void LoadDrives() override { order.push_back("drives"); }
    std::vector<std::string> order;
};

TEST(StartupTest, RoadsByInstanceAndCommandLine) {
    test::FakeCodePage codePage;
    struct Case {
        bool another;
        const wchar_t* commandLine;
        StartupRoad road;
        std::size_t steps;
    };
    const Case cases[] = {
        {true, L"D:\\ed.exe", StartupRoad::HandOver, 0},
        {true, L"", StartupRoad::HandOver, 0},
        {false, L"", StartupRoad::Quit, 0},
        {false, L"D:\\ed.exe", StartupRoad::Build, 5},
        {false, L" ", StartupRoad::Build, 5},
    };
    for (const Case& c : cases) {
        test::FakeProcess process;
        process.anotherRunning = c.another;
        process.commandLine = c.commandLine;
        FakeChannel channel;
        FakeSteps steps;
        EXPECT_EQ(Main(process, channel, codePage, steps), c.road);
        EXPECT_EQ(steps.order.size(), c.steps);
        EXPECT_EQ(channel.searched.size(), c.another ? 1u : 0u);
    }
}

TEST(StartupTest, BuildingRoadRunsItsStepsInOrder) {
    test::FakeCodePage codePage;
    test::FakeProcess process;
    FakeChannel channel;
    FakeSteps steps;
    Main(process, channel, codePage, steps);
    EXPECT_EQ(steps.order,
              (std::vector<std::string>{"load main", "load source", "images", "show", "drives"}));
}

TEST(NotifyPrevInstanceTest, SendsTheRestoreRequestToTheWindowWithTheCaption) {
    test::FakeCodePage codePage;
    FakeChannel channel;
    channel.window = 4242;
    NotifyPrevInstance(channel, codePage);
    ASSERT_EQ(channel.searched.size(), 1u);
    EXPECT_EQ(channel.searched[0], VOLANE_WINDOW_TITLE);
    EXPECT_EQ(channel.calls, (std::vector<std::string>{"allow 4242", "send 4242 1025 4001"}));
}

TEST(NotifyPrevInstanceTest, NoWindowSendsNothing) {
    test::FakeCodePage codePage;
    FakeChannel channel;
    NotifyPrevInstance(channel, codePage);
    EXPECT_TRUE(channel.calls.empty());
}

}  // namespace
}  // namespace volane
