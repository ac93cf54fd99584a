// The icon table, the drive roots and the start-up's roads.
#include "Fakes.h"
#include "modules/mdlApp.h"

namespace volane::test {

TEST(mdlApp, IconTableWithHtmlTwiceLookUpByLowerCaseAndDriveRoots) {
    FakeStart stage;
    ImageNameTable names;
    InitImages(stage, names);
    EXPECT_EQ(stage.images, (Texts{L"qe", L"root", L"folder", L"css", L"html", L"html", L"js",
                                   L"php", L"txt", L"attached"}));
    const std::pair<const wchar_t*, int> cases[] = {
        {L"qe", 1},  {L"root", 2}, {L"folder", 3}, {L"css", 4}, {L"html", 5}, {L"htm", 6},
        {L"js", 7},  {L"php", 8},  {L"txt", 9},    {L"CSS", 4}, {L"Htm", 6},  {L"ROOT", 2},
        {L"xml", 1}, {L" css", 1}, {L".css", 1},   {L"", 1},    {L"html5", 1}};
    for (const auto& [name, index] : cases) EXPECT_EQ(GetImageIndex(names, name), index) << name;
    // Image numbers are 16-bit: 32767 is the last one (then the table has no slot for it).
    for (const auto& [before, number] : {std::pair{32766, 9}, {32767, 6}}) {
        FakeStart full;
        full.before = before;
        try {
            InitImages(full, names);
            ADD_FAILURE() << before;
        } catch (const AppError& e) {
            EXPECT_EQ(e.Number(), number) << before;
        }
    }
    // One root per shown drive, in the file system's order, with the root picture.
    FakeFileSystem fs;
    fs.drives = {{L'A', 1}, {L'C', 2}, {L'E', 4}, {L'R', 5},
                 {L'U', 0}, {L'Z', 3}, {L'D', 2}, {L'X', 7}};
    FakeTree tree;
    LoadDrives(fs, tree, names);
    EXPECT_EQ(tree.log, (Texts{L"add A:\\ 可移动磁盘(A) 2", L"add C:\\ 本地磁盘(C) 2",
                               L"add E:\\ 光盘驱动(E) 2", L"add D:\\ 本地磁盘(D) 2"}));
    // A root the tree refuses is fatal.
    EXPECT_THROW(LoadDrives(fs, tree, names), AppError);
}

TEST(mdlApp, StartupHandsOverQuitsOrBuildsInOrder) {
    const std::string find = "find Torlin [http://www.torlin.example]; ";
    const std::tuple<bool, const wchar_t*, std::intptr_t, StartupRoad, std::string> cases[] = {
        // another instance, command line, its window: road, log
        {true, L"ed", 4242, StartupRoad::HandOver, find + "allow 4242; send 4242 1025 4001; "},
        {true, L"", 77, StartupRoad::HandOver, find + "allow 77; send 77 1025 4001; "},
        {true, L"x", 0, StartupRoad::HandOver, find},
        {false, L"", 0, StartupRoad::Quit, ""},
        {false, L"ed", 0, StartupRoad::Build, "main source images show drives"},
    };
    for (const auto& [another, commandLine, window, road, log] : cases) {
        FakeProcess process;
        process.anotherRunning = another;
        process.commandLine = commandLine;
        FakeStart startup;
        startup.window = window;
        EXPECT_EQ(Main(process, startup, FakeCodePage(), startup), road) << log;
        EXPECT_EQ(startup.log, log);
    }
}

}  // namespace volane::test
