// A tree view control as ITree: nodes are kept in a TreeIndex, so key lookups and the duplicate
// test cost O(1). Each item's lParam points at its index node; the selected node's key is put
// together from that node and its parents, a walk up to the root as long as the node is deep.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>

#include "platform/FormDesign.h"
#include "platform/Platform.h"
#include "platform/TreeIndex.h"

namespace volane::win32 {

// The tree's mouse events: button one of kButtonLeft, kButtonRight, kButtonMiddle; shift the
// kShiftMask, kCtrlMask and kAltMask bits held (Platform.h); x and y in twips from the control's
// top-left corner, border included, so that the control's place plus x and y is the point in its
// parent. HitTest takes the same coordinates.
using TreeMouseEvent = std::function<void(int button, int shift, double x, double y)>;
// A key pressed on the tree: the virtual-key code and the shift state as above. True when it
// was handled: then neither the key nor its release reaches the control.
using TreeKeyEvent = std::function<bool(int key, int shift)>;
struct TreeInput {
    TreeMouseEvent down;
    TreeMouseEvent up;
    TreeKeyEvent keyDown;
};

// How a child is appended below its parent. Windows' tree view walks the siblings for
// TVI_LAST and takes an explicit predecessor at once; Wine's keeps TVI_LAST cheap but checks an
// explicit predecessor by searching every item. Either way the child lands last.
enum class AppendMode { AfterLastChild, Last };
// The mode for the ntdll loaded: Wine's is the one that names its version.
AppendMode FastestAppend(HMODULE ntdll);
AppendMode FastestAppend();

// Makes images the tree's pictures, with rows as tall as the pictures or the font's text,
// whichever is taller: not the control's own height, which Wine takes from the font alone and
// Windows rounds down to even. Again after a DPI change, once the new font is set.
void SetTreePictures(HWND tree, HIMAGELIST images);

class TreeView final : public ITree {
  public:
    // Creates the control as a child of parent, at its designed place.
    TreeView(HWND parent, const ControlDesign& design, TreeInput input,
             AppendMode append = FastestAppend());
    ~TreeView() override;
    TreeView(const TreeView&) = delete;
    TreeView& operator=(const TreeView&) = delete;

    HWND Window() const { return hwnd_; }
    // The parent received NM_RCLICK from this tree: the tree's own right-button handling took
    // the WM_RBUTTONUP, so this is the release of the right button.
    void OnRightClickNotify();

    bool Add(std::wstring_view parentKey, std::wstring key, std::wstring_view text,
             int image) override;
    void Clear() override;
    bool Expand(const std::wstring& key) override;
    std::optional<TreeSelection> Selected() const override;
    bool HitTest(double x, double y) const override;
    std::optional<TwipsRect> SelectedLabel() const override;
    void SetRedraw(bool on) override;
    double Left() const override;
    double Top() const override;
    void SetWidth(double twips) override;
    void SetHeight(double twips) override;

    // The number of nodes, and of direct children of the node with that key (0 for an unknown
    // key), for the tests and the benchmark.
    std::size_t Count() const { return index_.Size(); }
    std::size_t Children(const std::wstring& key) const;

  private:
    static LRESULT CALLBACK InputProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleInput(UINT msg, WPARAM wParam, LPARAM lParam);
    // The mouse's messages: the result when the control has had the message already.
    std::optional<LRESULT> HandleMouse(UINT msg, WPARAM wParam, LPARAM lParam);
    // The keys' messages: true when the key is kept from the control.
    bool HandleKey(UINT msg, WPARAM wParam);
    LRESULT CallControl(UINT msg, WPARAM wParam, LPARAM lParam);
    void RaiseDown(int button, WPARAM keys, LPARAM position);
    void RaiseUp(int button, int shift, POINT position);
    void RaiseUpAtCursor(int button);
    RECT RectInParent() const;
    // Sizes the control from rect, its place now, unless the size stays.
    void Resize(const RECT& rect, int width, int height);
    // Forgets every item's key, once the control has none.
    void ForgetItems();
    // Where the client area starts inside the border, in pixels.
    POINT ClientOrigin() const;
    double ToTwips(int pixels) const;
    int ToPixels(double twips) const;

    HWND hwnd_ = nullptr;
    // The control's own procedure, below InputProc.
    WNDPROC control_ = nullptr;
    TreeInput input_;
    AppendMode append_;
    TreeIndex index_;
    // The label of the item being inserted, ended by a null as the control needs.
    std::wstring label_;
    // The item inserted last and its parent (TVI_ROOT for a root).
    HTREEITEM lastParent_ = nullptr;
    HTREEITEM lastItem_ = nullptr;
    // Set by a button's press, cleared by the one release event raised for it.
    bool leftDown_ = false;
    bool rightDown_ = false;
    // The key whose press was handled: its release is kept from the control too.
    int handledKey_ = 0;
};

}  // namespace volane::win32
