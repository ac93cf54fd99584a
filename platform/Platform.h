// The small interfaces through which Volane's modules and forms reach the desktop platform.
// Nothing here includes <windows.h>: the logic compiles natively and is tested with in-memory
// fakes, while platform/win32 holds the thin real implementations. A call that can fail for a
// reason its caller recovers from returns a Result (Result.h).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Errors.h"
#include "platform/Result.h"

namespace volane {

enum class DisplayState { Normal = 0, Minimized = 1, Maximized = 2 };

struct TwipsRect {
    double left, top, right, bottom;
};

// A top-level form's window. Measures are twips, outer measures include frame, caption and
// menu bar. Every change of size or display state raises the form's resize event before the
// changing call returns.
class IWindow {
  public:
    virtual ~IWindow() = default;
    virtual std::intptr_t Handle() const = 0;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual void SetLeft(double twips) = 0;
    virtual void SetTop(double twips) = 0;
    virtual void SetWidth(double twips) = 0;
    virtual void SetHeight(double twips) = 0;
    virtual double ClientWidth() const = 0;
    virtual double ClientHeight() const = 0;
    virtual DisplayState WindowState() const = 0;
    virtual void SetWindowState(DisplayState state) = 0;
    virtual void SetCaption(const std::wstring& caption) = 0;
    virtual std::wstring Tag() const = 0;
    virtual void SetTag(std::wstring text) = 0;
    // Runs the form's unload handler and destroys its window.
    virtual void Unload() = 0;
    // Shows the window modeless, without an owner.
    virtual void Show() = 0;
    // SetWindowPos with HWND_TOPMOST or HWND_NOTOPMOST, no move, no size.
    virtual void SetTopmost(bool topmost) = 0;
    // Whether the system animates the window's changes of display state (the zoom of maximize
    // and restore); on until turned off.
    virtual void SetTransitions(bool on) = 0;
};

// The screen as windows are placed on it: its work area, the part of the primary screen that
// the taskbar and the desktop's tool bars leave free, in twips from the screen's top-left corner.
class IScreen {
  public:
    virtual ~IScreen() = default;
    virtual TwipsRect WorkArea() const = 0;
};

class IMenuItem {
  public:
    virtual ~IMenuItem() = default;
    virtual std::wstring Caption() const = 0;
    virtual void SetCaption(const std::wstring& caption) = 0;
    virtual void SetChecked(bool checked) = 0;
};

// The mouse buttons and the shift keys of input events, each a bit of an int.
enum : int { kButtonLeft = 1, kButtonRight = 2, kButtonMiddle = 4 };
enum : int { kShiftMask = 1, kCtrlMask = 2, kAltMask = 4 };

// The selected node of a tree: its key and its number of direct children.
struct TreeSelection {
    std::wstring key;
    std::size_t children = 0;
};

// A tree view as the system uses it: nodes are addressed by their unique key.
class ITree {
  public:
    virtual ~ITree() = default;
    // Adds a node as the last child of parentKey, or as the last root when parentKey is empty.
    // Returns false and adds nothing when the key is already in the tree or the parent is unknown.
    virtual bool Add(std::wstring_view parentKey, std::wstring key, std::wstring_view text,
                     int image) = 0;
    virtual void Clear() = 0;
    // Sets the expanded flag of the node with that key; false when no node has it.
    virtual bool Expand(const std::wstring& key) = 0;
    // The selected node; none when no node is selected.
    virtual std::optional<TreeSelection> Selected() const = 0;
    // Whether a node lies at the point (twips, the tree's own coordinates).
    virtual bool HitTest(double x, double y) const = 0;
    // The selected node's label, in the same coordinates; none when no node is selected or its
    // label is not in view.
    virtual std::optional<TwipsRect> SelectedLabel() const = 0;
    // Suspends drawing around bulk inserts.
    virtual void SetRedraw(bool on) = 0;
    virtual double Left() const = 0;
    virtual double Top() const = 0;
    virtual void SetWidth(double twips) = 0;
    virtual void SetHeight(double twips) = 0;
};

// A label or button whose text the logic sets.
class IText {
  public:
    virtual ~IText() = default;
    virtual void SetText(const std::wstring& text) = 0;
};

// Modal boxes of the desktop.
class IUi {
  public:
    virtual ~IUi() = default;
    // A modal box with an OK button only and no icon.
    virtual void ShowMessage(const std::wstring& text, const std::wstring& title) = 0;
    // true: the wait cursor shows over the program's windows; false: the cursor shown before
    // comes back. Pumps no messages.
    virtual void SetBusy(bool busy) = 0;
};

// Show-window values for a started process.
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimized = 2;

class IProcess {
  public:
    virtual ~IProcess() = default;
    // True exactly while another instance of Volane runs.
    virtual bool AnotherInstanceRunning() = 0;
    // The text that follows the program's own name on its command line, unchanged.
    virtual std::wstring CommandLineTail() = 0;
    // The executable's folder: no trailing backslash except at a drive root.
    virtual std::wstring ExeFolder() = 0;
    // Starts a command line without waiting for it.
    virtual Result<void> Start(const std::wstring& commandLine, int show) = 0;
};

// A drive as the file-system service numbers its type: 0 unknown, 1 removable, 2 fixed,
// 3 network, 4 CD-ROM, 5 RAM disk.
struct Drive {
    wchar_t letter;
    int type;
};

// File attribute bits, as the platform gives them.
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;

// Receives a folder's entries, in the order the file system yields them.
class IEntrySink {
  public:
    virtual ~IEntrySink() = default;
    // name: the entry's own name; "." and ".." never arrive.
    virtual void OnEntry(std::wstring_view name, std::uint32_t attributes) = 0;
};

class IFileSystem {
  public:
    virtual ~IFileSystem() = default;
    virtual std::vector<Drive> Drives() = 0;
    // True when path names an existing folder (drive roots included); false also when the
    // test itself fails.
    virtual bool FolderExists(const std::wstring& path) = 0;
    // Enumerates the folder in one pass. Fails when the folder cannot be opened, and then
    // nothing was enumerated; or when the enumeration fails part way, and then the entries read
    // before the failure have reached the sink.
    virtual Result<void> Enumerate(const std::wstring& path, IEntrySink& sink) = 0;
    // Whether a file of that name exists that is neither a folder nor hidden nor system.
    virtual bool IsPlainFile(const std::wstring& path) = 0;
};

// The profile (INI) file reader.
class IProfile {
  public:
    virtual ~IProfile() = default;
    // The value of key in section of file as GetPrivateProfileStringA gives it with a
    // 256-byte buffer: at most 255 bytes of the ANSI text, "" when file, section or key is
    // missing. Returned converted to UTF-16.
    virtual std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                                    const std::wstring& file) = 0;
};

// Text in the system's ANSI code page, for the named narrow calls.
class ICodePage {
  public:
    virtual ~ICodePage() = default;
    virtual std::wstring ToWide(std::string_view ansi) const = 0;
    virtual std::string ToAnsi(std::wstring_view wide) const = 0;
};

// What a registry value's read gives: its type and the number of bytes written.
struct ValueRead {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
};

// An open registry key: closed when the object goes.
class IRegistryKey {
  public:
    virtual ~IRegistryKey() = default;
    // RegQueryValueExA into the whole buffer; fails also when the data need more than it holds.
    virtual Result<ValueRead> Query(const std::string& value, std::span<std::uint8_t> buffer) = 0;
};

// The predefined root keys, by their 32-bit values.
enum class RegistryRoot : std::uint32_t { LocalMachine = 0x80000002 };

// The narrow registry calls.
class IRegistry {
  public:
    virtual ~IRegistry() = default;
    // RegOpenKeyExA for reading.
    virtual Result<std::unique_ptr<IRegistryKey>> Open(RegistryRoot root,
                                                       const std::string& subKey) = 0;
};

// ShellExecuteA with the verb "open".
class IShell {
  public:
    virtual ~IShell() = default;
    virtual Result<void> Open(const std::string& address) = 0;
};

// The window-system calls of the single-instance protocol.
class IInstanceChannel {
  public:
    virtual ~IInstanceChannel() = default;
    // FindWindowA(NULL, title); 0 when none.
    virtual std::intptr_t FindWindowByTitle(const std::string& ansiTitle) = 0;
    // AllowSetForegroundWindow for the process that owns the window.
    virtual void AllowForeground(std::intptr_t window) = 0;
    // SendMessageA, synchronous; lParam is the address of a zero 32-bit variable.
    virtual void Send(std::intptr_t window, unsigned message, std::uintptr_t wParam) = 0;
};

}  // namespace volane
