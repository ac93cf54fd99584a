// The real program for the robustness tests: frmMain's window with its real tree tv1, frmSource
// and the icon table, put together as the program's entry does, on the real file system,
// profile reader and registry. The editor is recorder.exe (built into bin/e2e beside the
// tests), which appends the command line it was started with to a file; the process service
// really starts programs and remembers every command line it was given.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "modules/mdlApp.h"
#include "platform/win32/MainWindow.h"
#include "platform/win32/Services.h"
#include "platform/win32/SourceWindow.h"
#include "tests/win32/FormFixtures.h"
#include "tests/win32/ServiceFixtures.h"

namespace volane::test {

struct StartRecord {
    std::wstring commandLine;
    int show;
    bool started;
};

// The real process service with the executable's folder and the editor command of the test.
class RecordingProcess final : public IProcess {
  public:
    bool AnotherInstanceRunning() override { return false; }
    std::wstring CommandLineTail() override { return editorCommand; }
    std::wstring ExeFolder() override { return exeFolder; }
    bool Start(const std::wstring& commandLine, int show) override {
        const bool started = real_.Start(commandLine, show);
        starts.push_back({commandLine, show, started});
        return started;
    }

    std::wstring editorCommand;
    std::wstring exeFolder;
    std::vector<StartRecord> starts;

  private:
    win32::Process real_;
};

inline std::wstring RecorderPath() {
    return ExeFolder() + L"\\e2e\\recorder.exe";
}

inline std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

// The file recorder.exe appends to: every program this process starts inherits its name.
class EditorRecord {
  public:
    explicit EditorRecord(const TempFolder& folder) : file_(folder / L"editor.log") {
        ::SetEnvironmentVariableW(L"VOLANE_RECORD", file_.c_str());
    }
    ~EditorRecord() { ::SetEnvironmentVariableW(L"VOLANE_RECORD", nullptr); }
    EditorRecord(const EditorRecord&) = delete;
    EditorRecord& operator=(const EditorRecord&) = delete;

    std::vector<std::wstring> Lines() const {
        const std::wstring text = FromUtf8(SharedRead());
        std::vector<std::wstring> lines;
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find(L'\n', start);
            if (end == std::wstring::npos) break;  // a line still being written
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }
    bool WaitForLines(std::size_t count) const {
        return WaitUntil([&] { return Lines().size() >= count; }, std::chrono::seconds(15));
    }

  private:
    // Read with every kind of sharing: an editor that starts while the test looks must still
    // be able to append.
    std::string SharedRead() const {
        win32::unique_handle file(::CreateFileW(
            file_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, 0, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) return {};
        std::string bytes;
        char chunk[65536];
        DWORD got = 0;
        while (::ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0)
            bytes.append(chunk, got);
        return bytes;
    }

    std::wstring file_;
};

// What the tree shows, node by node in display order: enough to tell any change.
struct NodeFacts {
    int depth;
    std::wstring key;
    std::wstring text;
    int image;
    bool expanded;
    bool operator==(const NodeFacts&) const = default;
};

inline std::wstring NodeKey(HWND tree, HTREEITEM item) {
    TVITEMW data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    if (!TreeView_GetItem(tree, &data) || !data.lParam) return {};
    return *reinterpret_cast<const TreeNode*>(data.lParam)->key;
}

inline NodeFacts ReadNodeFacts(HWND tree, HTREEITEM item, int depth) {
    wchar_t text[1024] = {};
    TVITEMW data{};
    data.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_STATE;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = static_cast<int>(std::size(text));
    data.stateMask = TVIS_EXPANDED;
    TreeView_GetItem(tree, &data);
    return {depth, NodeKey(tree, item), text, data.iImage + 1, (data.state & TVIS_EXPANDED) != 0};
}

inline void CollectNodes(HWND tree, HTREEITEM first, int depth, std::vector<NodeFacts>& out) {
    for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(tree, item)) {
        out.push_back(ReadNodeFacts(tree, item, depth));
        CollectNodes(tree, TreeView_GetChild(tree, item), depth + 1, out);
    }
}

inline std::vector<NodeFacts> TreeFacts(HWND tree) {
    std::vector<NodeFacts> nodes;
    CollectNodes(tree, TreeView_GetRoot(tree), 0, nodes);
    return nodes;
}

// Every entry below a folder with its attributes, size and last write time, read through the
// \\?\ form; links are not followed. Sorted, so two snapshots compare whatever the order.
struct FileFacts {
    std::wstring path;
    DWORD attributes;
    ULONGLONG size;
    ULONGLONG written;
    bool operator==(const FileFacts&) const = default;
    bool operator<(const FileFacts& other) const { return path < other.path; }
};

inline void CollectFiles(const std::wstring& folder, std::vector<FileFacts>& out) {
    WIN32_FIND_DATAW data;
    const HANDLE find = ::FindFirstFileW((Extended(folder) + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        out.push_back({path, data.dwFileAttributes,
                       (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
                       (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) |
                           data.ftLastWriteTime.dwLowDateTime});
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            CollectFiles(path, out);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

inline std::vector<FileFacts> FileTree(const std::wstring& folder) {
    std::vector<FileFacts> files;
    CollectFiles(folder, files);
    std::sort(files.begin(), files.end());
    return files;
}

// The visible top-level windows of this process: a message box or any other window that an
// action shows adds one.
inline std::set<HWND> OwnVisibleWindows() {
    std::set<HWND> windows;
    ::EnumWindows(
        [](HWND window, LPARAM found) -> BOOL {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(window, &pid);
            if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(window))
                reinterpret_cast<std::set<HWND>*>(found)->insert(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Sets a file's last write time, so that any later write shows.
inline bool SetWriteTime(const std::wstring& file, ULONGLONG ticks) {
    const HANDLE handle = ::CreateFileW(Extended(file).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const BOOL ok = ::SetFileTime(handle, nullptr, nullptr, &time);
    ::CloseHandle(handle);
    return ok != FALSE;
}

inline constexpr ULONGLONG kOldWriteTime = 130000000000000000ull;  // 2012

// The program as its entry builds it, with the editor command "recorder.exe" (quoted) and the
// executable's folder given by the test.
class RealProgram {
  public:
    explicit RealProgram(std::wstring exeFolder) {
        process.exeFolder = std::move(exeFolder);
        process.editorCommand = Quoted(RecorderPath());
    }
    ~RealProgram() {
        if (main.IsLoaded()) main.Unload();
        PumpMessages(20);
    }
    RealProgram(const RealProgram&) = delete;
    RealProgram& operator=(const RealProgram&) = delete;

    // Load frmMain, load frmSource, fill the icon table, show frmMain, add the drive roots.
    void Start() {
        main.Load();
        source.Load();
        win32::PictureStage stage(resources.Module(), source.Picture1(), source.ilFiles(),
                                  main.Tree().Window());
        InitImages(stage);
        main.Show();
        LoadDrives(fs, main.Tree());
        ::SetForegroundWindow(main.Window());
        PumpMessages(100);
    }

    HWND Window() const { return main.Window(); }
    HWND TreeWindow() { return main.Tree().Window(); }
    void Command(std::wstring_view name) {
        ::SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(main.Menus().IdOf(name), 0), 0);
    }

    // A root node for a folder, as a drive root stands for its drive.
    void AddRoot(const std::wstring& folder) {
        ASSERT_TRUE(main.Tree().Add(L"", folder, folder, GetImageIndex(L"folder"))) << Utf8(folder);
    }

    HTREEITEM Item(const std::wstring& key) {
        return FindItem(TreeView_GetRoot(TreeWindow()), key);
    }

    std::vector<NodeFacts> Children(const std::wstring& key) {
        std::vector<NodeFacts> children;
        HWND tree = TreeWindow();
        HTREEITEM item = Item(key);
        if (!item) return children;  // the control would give the roots for no item
        for (HTREEITEM child = TreeView_GetChild(tree, item); child;
             child = TreeView_GetNextSibling(tree, child))
            children.push_back(ReadNodeFacts(tree, child, 0));
        return children;
    }
    std::vector<std::wstring> ChildTexts(const std::wstring& key) {
        std::vector<std::wstring> texts;
        for (const NodeFacts& node : Children(key)) texts.push_back(node.text);
        return texts;
    }

    // A real double-click on the node's label, through the pointer like the user's; then
    // handles messages until done() holds. False when it did not.
    bool DoubleClick(const std::wstring& key, const std::function<bool()>& done) {
        HTREEITEM item = Item(key);
        if (!item) {
            ADD_FAILURE() << "no node " << Utf8(key);
            return false;
        }
        return DoubleClick(item, done);
    }
    bool DoubleClick(HTREEITEM item, const std::function<bool()>& done) {
        HWND tree = TreeWindow();
        TreeView_EnsureVisible(tree, item);
        ::SetForegroundWindow(Window());
        PumpMessages(20);
        RECT rect{};
        std::memcpy(&rect, &item, sizeof(item));  // TVM_GETITEMRECT takes the item in the RECT
        ::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
        const RECT client = ClientRect(tree);
        const POINT at{std::max(rect.left, 0L) + 4, (rect.top + rect.bottom) / 2};
        if (at.x >= client.right || at.y <= 0 || at.y >= client.bottom) {
            ADD_FAILURE() << "node out of sight: " << Utf8(NodeKey(tree, item));
            return false;
        }
        // A loaded machine may stretch the two clicks beyond the double-click time; a second
        // double-click on a node that did not react does what the first should have done.
        for (int attempt = 0; attempt < 2; ++attempt) {
            ClickAt(ClientToScreenPoint(tree, at), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
            if (PumpUntil(done, 3000)) return true;
            PumpMessages(::GetDoubleClickTime() + 50);
        }
        return false;
    }

    // Double-clicks a folder's node and waits until the listing marked it expanded.
    bool List(const std::wstring& key) {
        return DoubleClick(key, [&] {
            const TreeNode* node = NodeOf(key);
            return node && node->expanded;
        });
    }

    // Double-clicks a node and waits until a start of the editor was tried.
    bool Open(const std::wstring& key) { return Open(Item(key)); }
    bool Open(HTREEITEM item) {
        if (!item) {
            ADD_FAILURE() << "no node to open";
            return false;
        }
        const std::size_t before = process.starts.size();
        return DoubleClick(item, [&] { return process.starts.size() > before; });
    }

    VolaneResources resources;
    win32::FileSystem fs;
    RecordingProcess process;
    win32::Profile profile;
    FakeUi ui;
    win32::Registry registry;
    FakeShell shell;
    win32::CodePage codePage;
    AboutServices about{registry, fs, process, ui, shell, codePage};
    win32::MainServices services{fs, process, profile, ui, about};
    win32::FormList forms;
    // frmSource owns the image list the tree draws from: it goes after the main window.
    win32::SourceWindow source{forms, resources.Module()};
    win32::MainWindow main{forms, resources.Module(), services};

  private:
    HTREEITEM FindItem(HTREEITEM first, const std::wstring& key) {
        HWND tree = TreeWindow();
        for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(tree, item)) {
            const std::wstring itemKey = NodeKey(tree, item);
            if (itemKey == key) return item;
            // Only a node whose key starts the wanted one can hold it.
            if (key.rfind(itemKey, 0) == 0) {
                if (HTREEITEM found = FindItem(TreeView_GetChild(tree, item), key)) return found;
            }
        }
        return nullptr;
    }
    const TreeNode* NodeOf(const std::wstring& key) {
        HTREEITEM item = Item(key);
        if (!item) return nullptr;
        TVITEMW data{};
        data.mask = TVIF_PARAM;
        data.hItem = item;
        TreeView_GetItem(TreeWindow(), &data);
        return reinterpret_cast<const TreeNode*>(data.lParam);
    }
};

}  // namespace volane::test
