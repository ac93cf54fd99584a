#include "platform/win32/TreeView.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "platform/Twips.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Fatal.h"
#include "platform/win32/Form.h"

namespace volane::win32 {

namespace {

bool IsDown(int virtualKey) {
    return (::GetKeyState(virtualKey) & 0x8000) != 0;
}

// The shift state from the key flags of a mouse message; Alt, which the flags do not carry,
// from the keyboard state.
int ShiftState(WPARAM keys) {
    return ((keys & MK_SHIFT) ? kShiftMask : 0) | ((keys & MK_CONTROL) ? kCtrlMask : 0) |
           (IsDown(VK_MENU) ? kAltMask : 0);
}

// The shift state from the keyboard alone, for events that come without key flags.
int ShiftStateNow() {
    return ShiftState((IsDown(VK_SHIFT) ? MK_SHIFT : 0) | (IsDown(VK_CONTROL) ? MK_CONTROL : 0));
}

HTREEITEM ItemOf(const TreeNode* node) {
    return static_cast<HTREEITEM>(node->handle);
}

}  // namespace

AppendMode FastestAppend(HMODULE ntdll) {
    const bool wine = ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
    return wine ? AppendMode::Last : AppendMode::AfterLastChild;
}

AppendMode FastestAppend() {
    return FastestAppend(::GetModuleHandleW(L"ntdll.dll"));
}

TreeView::TreeView(HWND parent, const ControlDesign& design, TreeInput input, AppendMode append)
    : input_(std::move(input)), append_(append) {
    // With its tooltip, the control shows the whole of a label it cannot show whole when the
    // pointer rests on it. Wine's tree view makes the tooltip window but never shows it. The
    // tooltip is a pop-up owned by the top-level window, which SetTopmostBand allows for.
    hwnd_ = CreateDesignedChild(parent, design, WC_TREEVIEWW, L"",
                                WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                                    TVS_SHOWSELALWAYS | TVS_NONEVENHEIGHT,
                                WS_EX_CLIENTEDGE);
    // The mouse events come from a procedure put in front of the control's. Not through
    // SetWindowSubclass: its dispatch reads a window property on every message, which under
    // Wine is a server round trip and made 100,000 inserts 40 times slower. The control leaves
    // its user-data slot to the application; the adapter lives there.
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    control_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TreeView::InputProc)));
}

TreeView::~TreeView() {
    if (!hwnd_) return;
    ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control_));
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
}

LRESULT TreeView::CallControl(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(control_, hwnd_, msg, wParam, lParam);
}

bool TreeView::Add(std::wstring_view parentKey, std::wstring key, std::wstring_view text,
                   int image) {
    TreeNode* parent = nullptr;
    if (!parentKey.empty()) {
        parent = index_.Find(parentKey);
        if (!parent) return false;
    }
    const HTREEITEM parentItem = parent ? ItemOf(parent) : TVI_ROOT;
    // A listing appends to one parent many times over: its last item is known from the insert
    // before, and a new parent is walked once.
    const HTREEITEM after =
        append_ == AppendMode::AfterLastChild && parentItem == lastParent_ ? lastItem_ : TVI_LAST;
    TreeNode* node = index_.Insert(parentKey, key);
    if (!node) return false;

    // The control copies the label; it only needs it to end in a null.
    label_.assign(text);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parentItem;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = label_.data();
    // Node images count from 1, the image list from 0.
    insert.item.iImage = image - 1;
    insert.item.iSelectedImage = image - 1;
    insert.item.lParam = reinterpret_cast<LPARAM>(node);
    // Straight to the control's procedure: a listing inserts tens of thousands of items, and
    // neither the message dispatch nor InputProc has anything to do with them.
    auto* item = reinterpret_cast<HTREEITEM>(
        CallControl(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!item) {
        index_.Forget(node);
        return false;
    }
    node->handle = item;
    lastParent_ = parentItem;
    lastItem_ = item;
    // The control refuses to expand an item without children; one marked expanded before its
    // first child arrived is expanded now, so its children show.
    if (parent && parent->expanded && parent->children == 1) {
        CallControl(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(ItemOf(parent)));
    }
    return true;
}

void TreeView::Clear() {
    TreeView_DeleteAllItems(hwnd_);
    ForgetItems();
}

void TreeView::ForgetItems() {
    index_.Clear();
    lastParent_ = lastItem_ = nullptr;
}

bool TreeView::Expand(const std::wstring& key) {
    TreeNode* node = index_.Find(key);
    if (!node) return false;
    node->expanded = true;
    TreeView_Expand(hwnd_, ItemOf(node), TVE_EXPAND);
    return true;
}

std::size_t TreeView::Children(const std::wstring& key) const {
    const TreeNode* node = index_.Find(key);
    return node ? node->children : 0;
}

std::optional<TreeSelection> TreeView::Selected() const {
    HTREEITEM item = TreeView_GetSelection(hwnd_);
    if (!item) return std::nullopt;
    TVITEMW data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    if (!TreeView_GetItem(hwnd_, &data) || !data.lParam) return std::nullopt;
    const auto& node = *reinterpret_cast<const TreeNode*>(data.lParam);
    return TreeSelection{index_.Key(node), node.children};
}

POINT TreeView::ClientOrigin() const {
    RECT window{};
    ::GetWindowRect(hwnd_, &window);
    POINT origin{0, 0};
    ::ClientToScreen(hwnd_, &origin);
    return {origin.x - window.left, origin.y - window.top};
}

bool TreeView::HitTest(double x, double y) const {
    const POINT origin = ClientOrigin();
    TVHITTESTINFO hit{};
    hit.pt = {ToPixels(x) - origin.x, ToPixels(y) - origin.y};
    return TreeView_HitTest(hwnd_, &hit) != nullptr && (hit.flags & TVHT_ONITEM) != 0;
}

std::optional<TwipsRect> TreeView::SelectedLabel() const {
    HTREEITEM item = TreeView_GetSelection(hwnd_);
    RECT label{};
    if (!item || !TreeView_GetItemRect(hwnd_, item, &label, TRUE)) return std::nullopt;
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    RECT shown{};
    if (!::IntersectRect(&shown, &label, &client)) return std::nullopt;
    const POINT origin = ClientOrigin();
    return TwipsRect{ToTwips(label.left + origin.x), ToTwips(label.top + origin.y),
                     ToTwips(label.right + origin.x), ToTwips(label.bottom + origin.y)};
}

void TreeView::SetRedraw(bool on) {
    if (!on) {
        ::SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
        return;
    }
    // Drawing back on, the tree sizes its scroll bars, and a visible window draws each bar as it
    // appears, frame and all, only to be drawn whole again at once: under Wine that was half of a
    // small folder's listing. Hidden by its style for that moment, the tree draws once. The style
    // is read again, not restored, as the scroll bars have changed it. Windows itself sets
    // WS_VISIBLE on a hidden window that gets WM_SETREDRAW; Wine's tree view does not, so the
    // style is set back here in both.
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
    if (style & WS_VISIBLE) ::SetWindowLongPtrW(hwnd_, GWL_STYLE, style & ~WS_VISIBLE);
    ::SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    if (style & WS_VISIBLE)
        ::SetWindowLongPtrW(hwnd_, GWL_STYLE, ::GetWindowLongPtrW(hwnd_, GWL_STYLE) | WS_VISIBLE);
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

RECT TreeView::RectInParent() const {
    RECT rect{};
    ::GetWindowRect(hwnd_, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd_), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

double TreeView::ToTwips(int pixels) const {
    return PixelsToTwips(pixels, static_cast<int>(DpiOf(hwnd_)));
}

int TreeView::ToPixels(double twips) const {
    return TwipsToPixels(twips, static_cast<int>(DpiOf(hwnd_)));
}

double TreeView::Left() const {
    return ToTwips(RectInParent().left);
}
double TreeView::Top() const {
    return ToTwips(RectInParent().top);
}

void TreeView::SetWidth(double twips) {
    const RECT rect = RectInParent();
    Resize(rect, ToPixels(twips), rect.bottom - rect.top);
}

void TreeView::SetHeight(double twips) {
    const RECT rect = RectInParent();
    Resize(rect, rect.right - rect.left, ToPixels(twips));
}

void TreeView::Resize(const RECT& rect, int width, int height) {
    // The main form sets both measures on every resize; one that stays costs no round trip to
    // the window server.
    if (width == rect.right - rect.left && height == rect.bottom - rect.top) return;
    ::SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TreeView::RaiseDown(int button, WPARAM keys, LPARAM position) {
    const POINT origin = ClientOrigin();
    if (input_.down)
        input_.down(button, ShiftState(keys), ToTwips(GET_X_LPARAM(position) + origin.x),
                    ToTwips(GET_Y_LPARAM(position) + origin.y));
}

void TreeView::RaiseUp(int button, int shift, POINT position) {
    const POINT origin = ClientOrigin();
    if (input_.up)
        input_.up(button, shift, ToTwips(position.x + origin.x), ToTwips(position.y + origin.y));
}

void TreeView::RaiseUpAtCursor(int button) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(hwnd_, &cursor);
    RaiseUp(button, ShiftStateNow(), cursor);
}

void TreeView::OnRightClickNotify() {
    if (!rightDown_) return;
    rightDown_ = false;
    RaiseUpAtCursor(kButtonRight);
}

LRESULT TreeView::HandleInput(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        // The last message: hand the window back to the control and let it go.
        HWND window = hwnd_;
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control_));
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        ForgetItems();
        return ::CallWindowProcW(control_, window, msg, wParam, lParam);
    }
    if (std::optional<LRESULT> result = HandleMouse(msg, wParam, lParam)) return *result;
    if (HandleKey(msg, wParam)) return 0;
    return CallControl(msg, wParam, lParam);
}

std::optional<LRESULT> TreeView::HandleMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
        case WM_LBUTTONDOWN: {
            leftDown_ = true;
            RaiseDown(kButtonLeft, wParam, lParam);
            const LRESULT result = CallControl(msg, wParam, lParam);
            // The control's click tracking takes the WM_LBUTTONUP out of the queue; the
            // button is up again when it returns without a drag.
            if (leftDown_ && hwnd_ && !IsDown(VK_LBUTTON)) {
                leftDown_ = false;
                RaiseUpAtCursor(kButtonLeft);
            }
            return result;
        }
        case WM_LBUTTONUP:
            if (std::exchange(leftDown_, false)) RaiseUp(kButtonLeft, ShiftState(wParam), at);
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: {
            rightDown_ = true;
            RaiseDown(kButtonRight, wParam, lParam);
            const LRESULT result = CallControl(msg, wParam, lParam);
            // The release normally comes as NM_RCLICK during the call above; a control that
            // tracked the button without notifying still leaves it up.
            if (rightDown_ && hwnd_ && !IsDown(VK_RBUTTON)) OnRightClickNotify();
            return result;
        }
        case WM_RBUTTONUP:
            if (std::exchange(rightDown_, false)) RaiseUp(kButtonRight, ShiftState(wParam), at);
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            RaiseDown(kButtonMiddle, wParam, lParam);
            break;
        case WM_MBUTTONUP:
            RaiseUp(kButtonMiddle, ShiftState(wParam), at);
            break;
        default:
            break;
    }
    return std::nullopt;
}

bool TreeView::HandleKey(UINT msg, WPARAM wParam) {
    const int key = static_cast<int>(wParam);
    switch (msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            // F10 arrives as a system key; Shift+F10 is the keyboard's context menu.
            if (input_.keyDown && input_.keyDown(key, ShiftStateNow())) {
                handledKey_ = key;
                return true;
            }
            return false;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            // Unhandled, the release of F10 or the menu key would open the menu bar or raise
            // the control's own context menu.
            if (handledKey_ != 0 && key == handledKey_) {
                handledKey_ = 0;
                return true;
            }
            return false;
        default:
            return false;
    }
}

LRESULT CALLBACK TreeView::InputProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Guarded([&]() -> LRESULT {
        auto* self = reinterpret_cast<TreeView*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!self) return ::DefWindowProcW(window, msg, wParam, lParam);
        return self->HandleInput(msg, wParam, lParam);
    });
}

void SetTreePictures(HWND tree, HIMAGELIST images) {
    // The same list again (its pictures rescaled for a new DPI) is taken off first, so that the
    // control measures their size afresh; at start-up the tree has none yet.
    if (TreeView_GetImageList(tree, TVSIL_NORMAL) == images)
        TreeView_SetImageList(tree, nullptr, TVSIL_NORMAL);
    TreeView_SetImageList(tree, images, TVSIL_NORMAL);
    int width = 0, height = 0;
    if (images) ImageList_GetIconSize(images, &width, &height);
    TEXTMETRICW metrics{};
    if (HFONT font = reinterpret_cast<HFONT>(::SendMessageW(tree, WM_GETFONT, 0, 0))) {
        const WindowDc dc(tree);
        const Selected selected(dc.get(), font);
        ::GetTextMetricsW(dc.get(), &metrics);
    }
    // The picture or the label's text with a pixel above and below it for the focus rectangle,
    // whichever is taller, and a pixel more, so that the pictures of neighbouring rows never
    // touch (Wine's item rectangle also ends a pixel short of the next row).
    const int text = metrics.tmHeight + metrics.tmExternalLeading + 2;
    TreeView_SetItemHeight(tree, std::max(height, text) + 1);
}

}  // namespace volane::win32
