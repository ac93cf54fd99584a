// In-memory stand-ins for the platform, small enough to read at a glance.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/TreeIndex.h"

namespace volane::test {

struct FakeNode {
    std::wstring parent, key, text;
    int image;
};

// A tree that keeps its nodes in insertion order, with the real key index.
class FakeTree final : public ITree {
  public:
    bool Add(std::wstring_view parentKey, std::wstring key, std::wstring_view text,
             int image) override {
        std::wstring copy = key;
        if (!index.Insert(parentKey, std::move(key))) return false;
        nodes.push_back({std::wstring(parentKey), copy, std::wstring(text), image});
        log.push_back(L"add " + copy);
        return true;
    }
    void Clear() override {
        index.Clear();
        nodes.clear();
        selected.reset();
        log.push_back(L"clear");
    }
    std::size_t Count() const override { return nodes.size(); }
    bool Expand(const std::wstring& key) override {
        log.push_back(L"expand " + key);
        TreeNode* node = index.Find(key);
        if (!node) return false;
        node->expanded = true;
        return true;
    }
    std::size_t Children(const std::wstring& key) const override {
        const TreeNode* node = index.Find(key);
        return node ? node->children : 0;
    }
    std::optional<std::wstring> SelectedKey() const override { return selected; }
    bool HitTest(double x, double y) const override {
        lastHit = {x, y};
        return hitResult;
    }
    void SetRedraw(bool on) override { log.push_back(on ? L"redraw on" : L"redraw off"); }
    double Left() const override { return left; }
    double Top() const override { return top; }
    void SetWidth(double twips) override {
        width = twips;
        log.push_back(L"width");
    }
    void SetHeight(double twips) override {
        height = twips;
        log.push_back(L"height");
    }

    bool IsExpanded(const std::wstring& key) const {
        const TreeNode* node = index.Find(key);
        return node && node->expanded;
    }
    std::vector<std::wstring> ChildTexts(const std::wstring& parent) const {
        std::vector<std::wstring> texts;
        for (const FakeNode& n : nodes)
            if (n.parent == parent) texts.push_back(n.text);
        return texts;
    }
    const FakeNode* Node(const std::wstring& key) const {
        for (const FakeNode& n : nodes)
            if (n.key == key) return &n;
        return nullptr;
    }

    TreeIndex index;
    std::vector<FakeNode> nodes;
    std::vector<std::wstring> log;
    std::optional<std::wstring> selected;
    bool hitResult = false;
    mutable std::pair<double, double> lastHit{-1, -1};
    double left = 0, top = 0, width = 0, height = 0;
};

struct FakeEntry {
    std::wstring name;
    std::uint32_t attributes;
};

class FakeFileSystem final : public IFileSystem {
  public:
    std::vector<Drive> Drives() override { return drives; }
    bool FolderExists(const std::wstring& path) override {
        return folders.count(path) != 0 || failing.count(path) != 0;
    }
    std::optional<std::wstring> Enumerate(const std::wstring& path, IEntrySink& sink) override {
        ++enumerations;
        if (auto it = failing.find(path); it != failing.end()) return it->second;
        for (const FakeEntry& e : folders[path]) sink.OnEntry(e.name, e.attributes);
        return std::nullopt;
    }
    bool IsPlainFile(const std::wstring& path) override { return plainFiles.count(path) != 0; }

    std::vector<Drive> drives;
    std::map<std::wstring, std::vector<FakeEntry>> folders;
    std::map<std::wstring, std::wstring> failing;  // exists, but opening fails with this text
    std::set<std::wstring> plainFiles;
    int enumerations = 0;
};

class FakeProcess final : public IProcess {
  public:
    bool AnotherInstanceRunning() override { return anotherRunning; }
    std::wstring CommandLineTail() override { return commandLine; }
    std::wstring ExeFolder() override { return exeFolder; }
    bool Start(const std::wstring& line, int show) override {
        started.push_back({line, show});
        return !line.empty() && startSucceeds;
    }

    bool anotherRunning = false;
    std::wstring commandLine = L"D:\\ed\\ed.exe";
    std::wstring exeFolder = L"C:\\Volane";
    bool startSucceeds = true;
    std::vector<std::pair<std::wstring, int>> started;
};

class FakeProfile final : public IProfile {
  public:
    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& file) override {
        ++reads;
        lastFile = file;
        auto it = values.find(file + L"|" + section + L"|" + key);
        return it == values.end() ? L"" : it->second;
    }
    void Set(const std::wstring& file, const std::wstring& key, const std::wstring& value) {
        values[file + L"|setup|" + key] = value;
    }

    std::map<std::wstring, std::wstring> values;
    std::wstring lastFile;
    int reads = 0;
};

class FakeUi final : public IUi {
  public:
    void MessageBox(const std::wstring& text, const std::wstring& title) override {
        boxes.push_back({text, title});
    }
    std::vector<std::pair<std::wstring, std::wstring>> boxes;
};

class FakeScreen final : public IScreen {
  public:
    double Width() const override { return width; }
    double Height() const override { return height; }
    double width = 19200, height = 15360;  // 1280 x 1024 pixels at 96 DPI
};

class FakeMenuItem final : public IMenuItem {
  public:
    explicit FakeMenuItem(std::wstring c = L"") : caption(std::move(c)) {}
    std::wstring Caption() const override { return caption; }
    void SetCaption(const std::wstring& c) override { caption = c; }
    bool Checked() const override { return checked; }
    void SetChecked(bool c) override { checked = c; }
    std::wstring caption;
    bool checked = false;
};

// A window measured in twips whose client area is the outer size less a fixed frame, caption
// and menu bar, and which raises its resize event from inside every size or state change.
class FakeWindow final : public IWindow {
  public:
    static constexpr double kFrameWidth = 120, kFrameHeight = 780;

    std::intptr_t Handle() const override { return handle; }
    double Left() const override { return Rect().left; }
    double Top() const override { return Rect().top; }
    double Width() const override { return Rect().width; }
    double Height() const override { return Rect().height; }
    void SetLeft(double t) override { normal.left = t; }
    void SetTop(double t) override { normal.top = t; }
    void SetWidth(double t) override {
        normal.width = t;
        Resized();
    }
    void SetHeight(double t) override {
        normal.height = t;
        Resized();
    }
    double ClientWidth() const override {
        return state == DisplayState::Minimized ? 0 : std::max(0.0, Width() - kFrameWidth);
    }
    double ClientHeight() const override {
        return state == DisplayState::Minimized ? 0 : std::max(0.0, Height() - kFrameHeight);
    }
    DisplayState WindowState() const override { return state; }
    void SetWindowState(DisplayState s) override {
        state = s;
        log.push_back(L"state " + std::to_wstring(static_cast<int>(s)));
        Resized();
    }
    std::wstring Caption() const override { return caption; }
    void SetCaption(const std::wstring& c) override { caption = c; }
    std::wstring Tag() const override { return tag; }
    void SetTag(std::wstring t) override { tag = std::move(t); }
    void Show() override {
        visible = true;
        log.push_back(L"show");
    }
    void SetTopmost(bool t) override {
        topmost = t;
        log.push_back(t ? L"topmost" : L"notopmost");
    }

    struct Measures {
        double left, top, width, height;
    };
    Measures Rect() const {
        if (state == DisplayState::Maximized) return {0, 0, screenWidth, screenHeight};
        return normal;
    }
    void Resized() {
        ++resizes;
        if (onResize) onResize();
    }

    std::intptr_t handle = 0x12345678;
    Measures normal{1000, 1000, 3780, 7470};  // designed client 3540 x 6690 plus the frame
    DisplayState state = DisplayState::Normal;
    double screenWidth = 19200, screenHeight = 15360;
    std::wstring caption, tag;
    bool visible = false, topmost = false;
    std::function<void()> onResize;
    int resizes = 0;
    std::vector<std::wstring> log;
};

class FakeText final : public IText {
  public:
    std::wstring Text() const override { return text; }
    void SetText(const std::wstring& t) override { text = t; }
    std::wstring text;
};

class FakeCodePage final : public ICodePage {
  public:
    // Latin-1 stands in for the ANSI code page.
    std::wstring ToWide(std::string_view ansi) const override {
        std::wstring w;
        for (unsigned char c : ansi) w += static_cast<wchar_t>(c);
        return w;
    }
    std::string ToAnsi(std::wstring_view wide) const override {
        std::string a;
        for (wchar_t c : wide) a += c < 256 ? static_cast<char>(c) : '?';
        return a;
    }
};

}  // namespace volane::test
