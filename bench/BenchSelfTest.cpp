// The benchmark's own checks: a wrong plan, generator or report reader would make it measure
// the wrong thing or accept a wrong count, so these parts are tested against Volane's filter
// and the real file system.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "bench/BenchCommon.h"
#include "bench/FolderPlan.h"
#include "bench/Generator.h"
#include "bench/Report.h"
#include "modules/mdlTVDir.h"
#include "platform/TextUtil.h"
#include "platform/win32/Handles.h"

namespace volane::bench {
namespace {

// One cycle of both the extensions (12) and the folder kinds (4 folders, 40 entries).
constexpr std::size_t kWholeCycles = 120 * 10;

std::wstring TempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
    return std::wstring(temp, n) + name + std::to_wstring(::GetCurrentProcessId());
}

TEST(FolderPlanTest, ExpectedCountAgreesWithVolanesOwnFilter) {
    const std::wstring list = LowerCase(FromUtf8(kDefaultTypeList));
    std::size_t listed = 0;
    for (std::size_t i = 0; i < kWholeCycles; ++i) {
        const PlannedEntry e = PlanEntry(i);
        const bool byVolane =
            e.folder ? e.attributes != kHiddenSystemFolder : PassesFilter(GetFileExt(e.name), list);
        EXPECT_EQ(byVolane, PlannedListed(i)) << "entry " << i;
        listed += byVolane ? 1 : 0;
    }
    EXPECT_EQ(listed, PlannedChildren(kWholeCycles));
}

TEST(FolderPlanTest, ProportionsAndUniqueNames) {
    std::size_t folders = 0, hiddenSystem = 0, passingFiles = 0;
    std::set<std::wstring> names;
    for (std::size_t i = 0; i < kWholeCycles; ++i) {
        const PlannedEntry e = PlanEntry(i);
        EXPECT_TRUE(names.insert(LowerCase(e.name)).second) << "name repeats: " << Utf8(e.name);
        if (e.folder) {
            ++folders;
            hiddenSystem += e.attributes == kHiddenSystemFolder ? 1 : 0;
        } else {
            passingFiles += PlannedListed(i) ? 1 : 0;
        }
    }
    EXPECT_EQ(folders, kWholeCycles / 10);
    EXPECT_EQ(hiddenSystem, folders / 4);
    EXPECT_EQ(passingFiles, (kWholeCycles - folders) / 2);
}

class GeneratorTest : public ::testing::Test {
  protected:
    void TearDown() override { RemoveTree(folder_); }
    const std::wstring folder_ = TempFolder(L"volane-bench-test-");
};

TEST_F(GeneratorTest, MakesThePlannedFolderAndRemovesIt) {
    constexpr std::size_t kEntries = 80;
    ASSERT_FALSE(GenerateFolder(folder_, kEntries).has_value());
    EXPECT_FALSE(VerifyFolder(folder_, kEntries).has_value());
    // The first hidden+system folder reads back as exactly 22, as the listing compares it.
    EXPECT_EQ(::GetFileAttributesW((folder_ + L"\\" + PlanEntry(13).name).c_str()),
              kHiddenSystemFolder);
    EXPECT_TRUE(RemoveTree(folder_));
    EXPECT_EQ(::GetFileAttributesW(folder_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(GeneratorTest, VerifyFindsWhatDiffersFromThePlan) {
    constexpr std::size_t kEntries = 40;
    ASSERT_FALSE(GenerateFolder(folder_, kEntries).has_value());
    EXPECT_TRUE(VerifyFolder(folder_, kEntries + 1).has_value());  // one entry short

    const std::wstring hidden = folder_ + L"\\" + PlanEntry(13).name;
    ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);  // no longer system
    const auto attributes = VerifyFolder(folder_, kEntries);
    ASSERT_TRUE(attributes.has_value());
    EXPECT_NE(attributes->find(PlanEntry(13).name), std::wstring::npos);

    ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(::DeleteFileW((folder_ + L"\\" + PlanEntry(0).name).c_str()));
    ASSERT_TRUE(::CloseHandle(::CreateFileW((folder_ + L"\\stray.txt").c_str(), GENERIC_WRITE, 0,
                                            nullptr, CREATE_NEW, 0, nullptr)));
    const auto missing = VerifyFolder(folder_, kEntries);
    ASSERT_TRUE(missing.has_value());
    EXPECT_NE(missing->find(PlanEntry(0).name), std::wstring::npos);
}

TEST_F(GeneratorTest, RefusesAFolderThatExists) {
    ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr));
    EXPECT_TRUE(GenerateFolder(folder_, 10).has_value());
}

TEST(ReportTest, RoundTripAndTruncation) {
    const std::wstring file = TempFolder(L"volane-bench-report-") + L".txt";
    ChildReport written;
    written.totalMs = 12.5;
    written.enumMs = 4.25;
    written.insertMs = 8.25;
    written.count = 52500;
    written.baseBytes = 1u << 20;
    written.peakBytes = 3u << 20;
    written.phases = {{"frmMain loaded", 70.5}, {"drive roots added", 83.25}};
    ASSERT_TRUE(WriteReport(file, written));
    const auto read = ReadReport(file);
    ASSERT_TRUE(read.has_value());
    EXPECT_DOUBLE_EQ(read->totalMs, 12.5);
    EXPECT_DOUBLE_EQ(read->enumMs, 4.25);
    EXPECT_DOUBLE_EQ(read->insertMs, 8.25);
    EXPECT_EQ(read->count, 52500u);
    EXPECT_EQ(read->baseBytes, 1u << 20);
    EXPECT_EQ(read->peakBytes, 3u << 20);
    EXPECT_EQ(read->phases, written.phases);
    EXPECT_TRUE(read->error.empty());

    // A child that died while writing leaves no end line: no figures are taken from it.
    {
        const win32::unique_handle out(
            ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        const char partial[] = "total_ms 1.0\ncount 5\n";
        DWORD n = 0;
        ::WriteFile(out.get(), partial, sizeof(partial) - 1, &n, nullptr);
    }
    EXPECT_FALSE(ReadReport(file).has_value());

    ChildReport failed;
    failed.error = L"无法列出 folder";
    ASSERT_TRUE(WriteReport(file, failed));
    const auto error = ReadReport(file);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->error, failed.error);
    ::DeleteFileW(file.c_str());
    EXPECT_FALSE(ReadReport(file).has_value());
}

TEST(ReportTest, Median) {
    EXPECT_DOUBLE_EQ(Median({}), 0);
    EXPECT_DOUBLE_EQ(Median({7}), 7);
    EXPECT_DOUBLE_EQ(Median({9, 1, 5}), 5);
    EXPECT_DOUBLE_EQ(Median({4, 1, 3, 2}), 2.5);
}

}  // namespace
}  // namespace volane::bench
