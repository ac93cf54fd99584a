// Volane's listing taken apart, to see where its time goes: the file-system service alone,
// and ExpandPath on a tree that has the key index but no window.
#include <windows.h>

#include "bench/Children.h"
#include "modules/mdlApp.h"
#include "modules/mdlTVDir.h"
#include "platform/TreeIndex.h"
#include "app/Application.h"
#include "platform/win32/Services.h"

namespace volane::bench {
namespace {

class CountingSink final : public IEntrySink {
  public:
    void OnEntry(std::wstring_view name, std::uint32_t) override {
        ++count;
        chars += name.size();
    }
    std::size_t count = 0;
    std::size_t chars = 0;
};

// The tree as the listing sees it, minus the tree view: nodes live in the key index only.
class IndexOnlyTree final : public ITree {
  public:
    bool Add(std::wstring_view parentKey, std::wstring key, std::wstring_view, int) override {
        return index_.Insert(parentKey, std::move(key)) != nullptr;
    }
    void Clear() override { index_.Clear(); }
    std::size_t Count() const override { return index_.Size(); }
    bool Expand(const std::wstring& key) override {
        TreeNode* node = index_.Find(key);
        if (node) node->expanded = true;
        return node != nullptr;
    }
    std::size_t Children(const std::wstring& key) const override {
        const TreeNode* node = index_.Find(key);
        return node ? node->children : 0;
    }
    std::optional<std::wstring> SelectedKey() const override { return std::nullopt; }
    bool HitTest(double, double) const override { return false; }
    void SetRedraw(bool) override {}
    double Left() const override { return 0; }
    double Top() const override { return 0; }
    void SetWidth(double) override {}
    void SetHeight(double) override {}

  private:
    TreeIndex index_;
};

// Fills the icon table's names the way start-up does, without pictures.
class NamesOnlyStage final : public IPictureStage {
  public:
    void LoadPicture(const std::wstring&) override {}
    int ImageCount() const override { return count_; }
    void AddDrawnImage(int) override { ++count_; }
    void AttachToTree() override {}

  private:
    int count_ = 0;
};

}  // namespace

int RunVolaneEnum(const std::wstring& folder, ChildReport& report) {
    win32::FileSystem fs;
    CountingSink sink;
    report.baseBytes = ProcessMemory().workingSet;
    const Stopwatch clock;
    const auto failure = fs.Enumerate(folder, sink);
    report.totalMs = clock.ElapsedMs();
    report.enumMs = report.totalMs;
    report.peakBytes = ProcessMemory().peakWorkingSet;
    // Every entry: the parent compares with the plan's total, not with the listed count.
    report.count = sink.count;
    if (failure) report.error = *failure;
    return failure ? 1 : 0;
}

int RunVolaneLogic(const std::wstring& folder, ChildReport& report) {
    NamesOnlyStage stage;
    InitImages(stage);
    win32::FileSystem fs;
    win32::Process process{app::kInstanceName};
    win32::Profile profile;
    win32::Ui ui;
    IndexOnlyTree tree;
    tree.Add({}, folder, folder, GetImageIndex(L"folder"));
    ListingServices services{fs, process, profile, ui, tree};
    report.baseBytes = ProcessMemory().workingSet;
    const Stopwatch clock;
    ExpandPath(folder, services);
    report.totalMs = clock.ElapsedMs();
    report.peakBytes = ProcessMemory().peakWorkingSet;
    report.count = tree.Children(folder);
    return 0;
}

}  // namespace volane::bench
