// The text of a window (a caption, a label, a button), through the W calls: read, and set as
// IText.
#pragma once

#include <windows.h>

#include <string>

#include "platform/Platform.h"

namespace volane::win32 {

inline std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

class WindowText final : public IText {
  public:
    explicit WindowText(HWND window) : window_(window) {}
    void SetText(const std::wstring& text) override { ::SetWindowTextW(window_, text.c_str()); }

  private:
    HWND window_;
};

}  // namespace volane::win32
