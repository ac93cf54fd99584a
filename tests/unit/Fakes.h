// In-memory stand-ins for the platform interfaces: they answer from public members and log calls.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>

#include "forms/frmAbout.h"
#include "forms/frmMain.h"
#include "modules/mdlApp.h"
#include "platform/Platform.h"
#include "tests/Watchdog.h"

namespace volane::test {

// Each unit test ends within 20 s or fails.
inline const bool kWatched = WatchEachTest(20);

using Texts = std::vector<std::wstring>;
using WW = std::pair<std::wstring, std::wstring>;
using Started = std::vector<std::pair<std::wstring, int>>;
using Boxes = std::vector<std::pair<std::wstring, std::wstring>>;
using Value = std::pair<std::uint32_t, std::string>;  // type, data
inline constexpr auto kGbkLead = +[](unsigned char c) { return c >= 0x81 && c <= 0xFE; };

template <class F, class Cases>
void ExpectEach(F f, const Cases& cases) {
    for (const auto& [in, out] : cases) EXPECT_EQ(f(in), out) << in;
}

// A tree that logs its changes and keeps its own key rules: each key once, under a known parent.
struct FakeTree final : ITree {
    bool Add(std::wstring_view parent, std::wstring key, std::wstring_view text,
             int image) override {
        if (parents.count(key) || (!parent.empty() && !parents.count(std::wstring(parent))))
            return false;
        log.push_back(L"add " + key + L" " + std::wstring(text) + L" " + std::to_wstring(image));
        parents[key] = parent;
        return true;
    }
    void Clear() override { parents.clear(), selected.reset(); }
    bool Expand(const std::wstring& key) override {
        log.push_back(L"expand " + key);
        return parents.count(key) != 0;
    }
    std::optional<TreeSelection> Selected() const override {
        if (!selected) return std::nullopt;
        auto child = [this](const auto& node) { return node.second == *selected; };
        return TreeSelection{*selected, std::size_t(std::ranges::count_if(parents, child))};
    }
    bool HitTest(double, double) const override { return hit; }
    std::optional<TwipsRect> SelectedLabel() const override { return label; }
    void SetRedraw(bool on) override { log.push_back(on ? L"redraw on" : L"redraw off"); }
    double Left() const override { return 15; }
    double Top() const override { return 30; }
    void SetWidth(double twips) override { width = twips; }
    void SetHeight(double twips) override { height = twips; }

    std::map<std::wstring, std::wstring> parents;  // each node's key to its parent's, "" for roots
    Texts log;
    std::optional<std::wstring> selected;
    std::optional<TwipsRect> label;
    bool hit = false;
    double width = 0, height = 0;
};

struct FakeFileSystem final : IFileSystem {
    std::vector<Drive> Drives() override { return drives; }
    bool FolderExists(const std::wstring& path) override {
        return folders.count(path) != 0 || failing.count(path) != 0;
    }
    Result<void> Enumerate(const std::wstring& path, IEntrySink& sink) override {
        for (const auto& [name, attributes] : folders[path]) sink.OnEntry(name, attributes);
        if (auto it = failing.find(path); it != failing.end()) return it->second;
        return {};
    }
    bool IsPlainFile(const std::wstring& path) override { return plainFiles.count(path) != 0; }

    std::vector<Drive> drives;
    std::map<std::wstring, std::vector<std::pair<std::wstring, std::uint32_t>>> folders;
    // Exists, but fails so: at once, or after the entries it has in folders.
    std::map<std::wstring, Error> failing;
    std::set<std::wstring> plainFiles;
};

struct FakeProcess final : IProcess {
    bool AnotherInstanceRunning() override { return anotherRunning; }
    std::wstring CommandLineTail() override { return commandLine; }
    std::wstring ExeFolder() override { return exeFolder; }
    Result<void> Start(const std::wstring& line, int show) override {
        started.push_back({line, show});
        if (startSucceeds && !line.empty()) return {};
        return Error{2, L"系统找不到指定的文件。"};
    }

    bool anotherRunning = false, startSucceeds = true;
    std::wstring commandLine = L"D:\\ed\\ed.exe", exeFolder = L"C:\\Volane";
    Started started;
};

// Values by file name and key, all in the section "setup"; other sections read "".
struct FakeProfile final : IProfile {
    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& file) override {
        ++reads;
        auto it = values.find(file + L"|" + key);
        return section == L"setup" && it != values.end() ? it->second : L"";
    }
    std::map<std::wstring, std::wstring> values;
    int reads = 0;
};

struct FakeUi final : IUi {
    void ShowMessage(const std::wstring& text, const std::wstring& title) override {
        boxes.push_back({text, title});
        if (log) log->push_back(L"box " + text);
    }
    void SetBusy(bool busy) override {
        if (log) log->push_back(busy ? L"wait" : L"arrow");
    }
    Boxes boxes;
    Texts* log = nullptr;  // where the cursor and the boxes go in order, when set
};

// Latin-1 stands in for the ANSI code page.
struct FakeCodePage final : ICodePage {
    std::wstring ToWide(std::string_view ansi) const override {
        const auto* bytes = reinterpret_cast<const unsigned char*>(ansi.data());
        return {bytes, bytes + ansi.size()};
    }
    std::string ToAnsi(std::wstring_view wide) const override { return {wide.begin(), wide.end()}; }
};

inline constexpr double kScreenWidth = 19200, kScreenHeight = 15360;  // 1280 x 1024 pixels

// Outer measures in twips, the client area 120 x 780 less, maximized the screen; every change of
// size or state raises the resize event before it returns, as the form runtime does.
struct FakeWindow final : IWindow {
    std::intptr_t Handle() const override { return 0x7FF612345678; }
    double Width() const override { return Maxed() ? kScreenWidth : width; }
    double Height() const override { return Maxed() ? kScreenHeight : height; }
    void SetLeft(double t) override { left = t; }
    void SetTop(double t) override { top = t; }
    void SetWidth(double t) override { width = t, onResize(); }
    void SetHeight(double t) override { height = t, onResize(); }
    double ClientWidth() const override { return Minimized() ? 0 : Width() - 120; }
    double ClientHeight() const override { return Minimized() ? 0 : Height() - 780; }
    DisplayState WindowState() const override { return state; }
    void SetWindowState(DisplayState s) override {
        state = s;
        log.push_back(L"state " + std::to_wstring(static_cast<int>(s)));
        onResize();
    }
    void SetCaption(const std::wstring& c) override { caption = c; }
    std::wstring Tag() const override { return tag; }
    void SetTag(std::wstring t) override { tag = std::move(t); }
    void Unload() override { onUnload(); }
    void Show() override { shown = true; }
    void SetTopmost(bool on) override { topmost = on; }
    void SetTransitions(bool on) override {
        log.push_back(on ? L"transitions on" : L"transitions off");
    }

    double left = 1000, top = 1000, width = 3780, height = 7470;
    DisplayState state = DisplayState::Normal;
    bool Maxed() const { return state == DisplayState::Maximized; }
    bool Minimized() const { return state == DisplayState::Minimized; }
    std::wstring caption, tag;
    bool shown = false, topmost = false;
    Texts log;  // changes of display state and of transitions, in order
    std::function<void()> onResize = [] {}, onUnload = [] {};
};

// A menu item or a label.
struct FakeItem final : IMenuItem, IText {
    explicit FakeItem(std::wstring t = L"") : text(std::move(t)) {}
    std::wstring Caption() const override { return text; }
    void SetCaption(const std::wstring& c) override { text = c; }
    void SetChecked(bool c) override { checked = c; }
    void SetText(const std::wstring& t) override { text = t; }
    std::wstring text;
    bool checked = false;
};

// Picture1 and ilFiles (each image's bitmap), the first instance's window, the building steps.
struct FakeStart final : IPictureStage, IInstanceChannel, IStartupSteps {
    void LoadPicture(const std::wstring& name) override {
        if (name == L"htm") throw AppError(Failure::ResourceNotFound, name);  // no such bitmap
        shown = name;
    }
    int ImageCount() const override { return before + static_cast<int>(images.size()); }
    void AddDrawnImage(int index) override {
        if (index == ImageCount() + 1) images.push_back(shown);
    }
    void AttachToTree() override { images.push_back(L"attached"); }
    std::intptr_t FindWindowByTitle(const std::string& title) override {
        log += "find " + title + "; ";
        return window;
    }
    void AllowForeground(std::intptr_t w) override { log += "allow " + std::to_string(w) + "; "; }
    void Send(std::intptr_t w, unsigned message, std::uintptr_t wParam) override {
        log += "send " + std::to_string(w) + " " + std::to_string(message) + " " +
               std::to_string(wParam) + "; ";
    }
    void LoadMainForm() override { log += "main "; }
    void LoadSourceForm() override { log += "source "; }
    void InitImages() override { log += "images "; }
    void ShowMainForm() override { log += "show "; }
    void LoadDrives() override { log += "drives"; }
    std::wstring shown;
    Texts images;
    int before = 0;  // images in the list already
    std::intptr_t window = 0;
    std::string log;
};

// Values by "key\name"; the key "missing" does not open. Every key opened must be closed.
struct FakeRegistry final : IRegistry {
    struct Key final : IRegistryKey {
        Key(FakeRegistry& r, std::string p) : registry(r), path(std::move(p)) { ++registry.open; }
        ~Key() override { --registry.open; }
        Result<ValueRead> Query(const std::string& name, std::span<std::uint8_t> data) override {
            auto it = registry.values.find(path + name);
            if (it == registry.values.end() || data.size() != 1024)
                return Error{2, L"系统找不到指定的文件。"};
            const auto& [type, bytes] = it->second;
            if (bytes.size() > 1024) return Error{234, L"有更多数据可用。"};
            std::copy(bytes.begin(), bytes.end(), data.begin());
            return ValueRead{type, static_cast<std::uint32_t>(bytes.size())};
        }
        FakeRegistry& registry;
        std::string path;
    };
    Result<std::unique_ptr<IRegistryKey>> Open(RegistryRoot root,
                                               const std::string& subKey) override {
        if (root != RegistryRoot::LocalMachine || subKey == "missing")
            return Error{2, L"系统找不到指定的文件。"};
        return std::unique_ptr<IRegistryKey>(std::make_unique<Key>(*this, subKey + "\\"));
    }
    std::map<std::string, Value> values;
    int open = 0;
};

// Both forms on fake services, frmMain loaded, the icon table as InitImages leaves it; the rig
// is the screen, both hosts and a shell that opens no browser.
struct Rig : IScreen, IMainHost, IShell {
    Rig() {
        for (std::size_t i = 0; i < kTypeNames.size(); ++i) ImageNames[i + 1] = kTypeNames[i];
        window.onResize = [this] { form.Form_Resize(); };
        window.onUnload = [this] { log += "exit; "; };
        aboutWindow.onUnload = [this] { log += "unload; "; };
        form.Form_Load();
        profile.values[L"C:\\Volane\\setup.ini|fileTypes"] = L" HTML;htm;css;js;php;txt;xml; ";
        tv1.Add(L"", L"C:\\", L"本地磁盘(C)", 2);
        tv1.Add(L"C:\\", L"C:\\w", L"w", 3);
        tv1.log.clear();
    }
    // Display state, place, size, tree size, m_exp's caption, and the three marks of pinning.
    std::wstring State() const {
        std::wostringstream s;
        s << static_cast<int>(window.state) << L' ' << (window.Maxed() ? 0 : window.left) << L','
          << (window.Maxed() ? 0 : window.top) << L' ' << window.Width() << L'x' << window.Height()
          << L" tree " << tv1.width << L'x' << tv1.height << L' ' << m_exp.text
          << (window.topmost ? L" top" : L"") << (form.isWinTop ? L" isWinTop" : L"")
          << (m_top.checked ? L" checked" : L"");
        return s.str();
    }
    TwipsRect WorkArea() const override { return workArea; }
    void PopupMainMenu(double x, double y) override {
        log += "popup " + std::to_string(int(x)) + " " + std::to_string(int(y)) + "; ";
    }
    void ShowAboutModal() override { log += "about; "; }
    std::intptr_t HookWindow(std::intptr_t) override { return 0; }
    void UnhookWindow(std::intptr_t, std::intptr_t) override {}
    void UnloadAllForms() override {}
    Result<void> Open(const std::string& address) override {
        log += "open " + address + "; ";
        return Error{2, L"系统找不到指定的文件。"};
    }

    std::string log;
    TwipsRect workArea{0, 0, kScreenWidth, kScreenHeight};  // no taskbar, as under Xvfb
    FakeWindow window, aboutWindow;
    FakeTree tv1;
    FakeItem m_top{L"置顶"}, m_exp{L"收起"}, lblTitle, lblVersion;
    FakeFileSystem fs;
    FakeProcess process;
    FakeProfile profile;
    FakeUi ui;
    ImageNameTable ImageNames;
    ListingServices listing{fs, process, profile, ui, tv1, ImageNames};
    frmMain form{MainControls{window, tv1, m_top, m_exp}, *this, *this, listing};
    FakeRegistry registry;
    FakeCodePage codePage;
    AboutServices services{registry, fs, process, ui, *this, codePage};
    frmAbout about{AboutControls{aboutWindow, lblTitle, lblVersion}, services};
};

}  // namespace volane::test
