// Micro-benchmarks of the pure functions a folder listing runs once per entry, and of the key
// index that every added node goes through.
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "modules/mdlApp.h"
#include "modules/mdlTVDir.h"
#include "platform/TextUtil.h"
#include "platform/TreeIndex.h"

namespace {

using volane::TreeIndex;

// The type list of a typical setup.ini, lower-cased as the listing keeps it, and a folder's worth
// of file names: hits early and late in the list, misses, no extension, mixed case.
constexpr std::wstring_view kTypeList = L"html;htm;css;js;php;txt;";
constexpr std::array<std::wstring_view, 12> kNames = {
    L"index.php", L"Default.HTM",    L"style.css",    L"app.min.js", L"README",     L"logo.png",
    L"notes.txt", L"archive.tar.gz", L"说明文档.TXT", L".htaccess",  L"photo.JPEG", L"main.Html"};

void BM_GetFileExt(benchmark::State& state) {
    for (auto _ : state)
        for (std::wstring_view name : kNames) benchmark::DoNotOptimize(volane::GetFileExt(name));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kNames.size()));
}
BENCHMARK(BM_GetFileExt);

void BM_PassesFilter(benchmark::State& state) {
    std::vector<std::wstring_view> extensions;
    for (std::wstring_view name : kNames) extensions.push_back(volane::GetFileExt(name));
    for (auto _ : state)
        for (std::wstring_view ext : extensions)
            benchmark::DoNotOptimize(volane::PassesFilter(ext, kTypeList));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(extensions.size()));
}
BENCHMARK(BM_PassesFilter);

// Just enough of Picture1 and ilFiles for InitImages to fill the table as at start-up.
class CountingStage final : public volane::IPictureStage {
  public:
    void LoadPicture(const std::wstring&) override {}
    int ImageCount() const override { return count_; }
    void AddDrawnImage(int index) override { count_ = index; }
    void AttachToTree() override {}

  private:
    int count_ = 0;
};

void BM_GetImageIndex(benchmark::State& state) {
    CountingStage stage;
    volane::InitImages(stage);
    // What the listing asks for: the folder picture, then each listed file's extension.
    constexpr std::array<std::wstring_view, 6> kTypeNames = {L"folder", L"php", L"HTM",
                                                             L"css",    L"js",  L"xml"};
    for (auto _ : state)
        for (std::wstring_view typeName : kTypeNames)
            benchmark::DoNotOptimize(volane::GetImageIndex(typeName));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kTypeNames.size()));
}
BENCHMARK(BM_GetImageIndex);

void BM_LowerCase(benchmark::State& state) {
    const std::wstring_view name = L"Project Notes (Final).HTML";
    for (auto _ : state) benchmark::DoNotOptimize(volane::LowerCase(name));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LowerCase);

// 100,000 keys shaped like a listed drive: one root, 1,000 folders below it, the rest files
// spread over the folders in turn; each entry is (parent key, key).
std::vector<std::pair<std::wstring, std::wstring>> TreeKeys() {
    constexpr int kKeys = 100000;
    constexpr int kFolders = 1000;
    std::vector<std::pair<std::wstring, std::wstring>> keys;
    keys.reserve(kKeys);
    keys.emplace_back(L"", L"C:\\");
    for (int f = 0; f < kFolders; ++f)
        keys.emplace_back(L"C:\\", L"C:\\www\\site" + std::to_wstring(f));
    for (int i = 0; static_cast<int>(keys.size()) < kKeys; ++i) {
        const std::wstring& folder = keys[1 + i % kFolders].second;
        keys.emplace_back(folder, folder + L"\\page_" + std::to_wstring(i) + L".php");
    }
    return keys;
}

void BM_TreeIndexInsert100k(benchmark::State& state) {
    const auto keys = TreeKeys();
    const bool reserve = state.range(0) != 0;
    for (auto _ : state) {
        TreeIndex index;
        if (reserve) index.Reserve(keys.size());
        // The caller hands over a key it built, so the copy is part of an insert's cost.
        for (const auto& [parent, key] : keys) benchmark::DoNotOptimize(index.Insert(parent, key));
        if (index.Size() != keys.size()) state.SkipWithError("an insert was refused");
        // Freeing the nodes is not what is measured.
        state.PauseTiming();
        index.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(keys.size()));
}
BENCHMARK(BM_TreeIndexInsert100k)
    ->ArgName("reserve")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
