// InstanceChannel against a real top-level window that runs on a thread of its own, as the
// running instance's window runs in a process of its own.
#include <mutex>
#include <thread>
#include <vector>

#include "platform/win32/Services.h"
#include "tests/win32/ServiceFixtures.h"

namespace volane::test {
namespace {

struct Received {
    UINT message;
    WPARAM wParam;
    bool hasLParam;
    std::int32_t pointedAt;
    DWORD thread;
};

class ReceiverWindow {
  public:
    explicit ReceiverWindow(std::wstring caption) : caption_(std::move(caption)) {
        ready_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this] { Run(); });
        ::WaitForSingleObject(ready_, 10000);
    }
    ~ReceiverWindow() {
        if (window_) ::PostMessageW(window_, WM_CLOSE, 0, 0);
        thread_.join();
        ::CloseHandle(ready_);
    }
    ReceiverWindow(const ReceiverWindow&) = delete;
    ReceiverWindow& operator=(const ReceiverWindow&) = delete;

    HWND Handle() const { return window_; }
    DWORD Thread() const { return threadId_; }
    std::vector<Received> Messages() {
        std::lock_guard lock(mutex_);
        return received_;
    }

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ReceiverWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && message >= WM_USER) {
            std::lock_guard lock(self->mutex_);
            const std::int32_t pointed = lParam ? *reinterpret_cast<std::int32_t*>(lParam) : -1;
            self->received_.push_back(
                {message, wParam, lParam != 0, pointed, ::GetCurrentThreadId()});
            return 0;
        }
        if (message == WM_DESTROY) ::PostQuitMessage(0);
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    void Run() {
        threadId_ = ::GetCurrentThreadId();
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Proc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VolaneChannelTestReceiver";
        ::RegisterClassW(&windowClass);  // fails harmlessly when registered before
        window_ =
            ::CreateWindowExW(0, windowClass.lpszClassName, caption_.c_str(), WS_OVERLAPPEDWINDOW,
                              0, 0, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
        if (window_) ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::SetEvent(ready_);
        if (!window_) return;
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    }

    std::wstring caption_;
    HANDLE ready_ = nullptr;
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
    std::mutex mutex_;
    std::vector<Received> received_;
    std::thread thread_;
};

std::wstring UniqueCaption(std::wstring_view text) {
    return std::wstring(text) + L" " + std::to_wstring(::GetCurrentProcessId());
}

TEST(InstanceChannelTest, FindsATopLevelWindowByItsNarrowCaption) {
    std::vector<std::wstring> captions = {UniqueCaption(L"Torlin [http://channel.test]")};
    if (::GetACP() == 936) captions.push_back(UniqueCaption(L"窗口 测试"));
    const win32::CodePage codePage;
    win32::InstanceChannel channel;
    for (const auto& caption : captions) {
        ReceiverWindow receiver(caption);
        ASSERT_NE(receiver.Handle(), nullptr) << "no window: run under a display (Xvfb)";
        EXPECT_EQ(channel.FindWindowByTitle(codePage.ToAnsi(caption)),
                  reinterpret_cast<std::intptr_t>(receiver.Handle()))
            << Utf8(caption);
    }
    EXPECT_EQ(channel.FindWindowByTitle(codePage.ToAnsi(UniqueCaption(L"no such window"))), 0);
}

TEST(InstanceChannelTest, SendDeliversSynchronouslyWithTheAddressOfAZero) {
    ReceiverWindow receiver(UniqueCaption(L"channel send test"));
    ASSERT_NE(receiver.Handle(), nullptr) << "no window: run under a display (Xvfb)";
    win32::InstanceChannel channel;
    const auto window = reinterpret_cast<std::intptr_t>(receiver.Handle());
    channel.AllowForeground(window);
    channel.Send(window, 1025, 4001);
    // Handled before Send returned.
    auto messages = receiver.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, 1025u);
    EXPECT_EQ(messages[0].wParam, 4001u);
    EXPECT_TRUE(messages[0].hasLParam);
    EXPECT_EQ(messages[0].pointedAt, 0);
    EXPECT_EQ(messages[0].thread, receiver.Thread());

    channel.Send(window, 1025, 123);
    messages = receiver.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].wParam, 123u);
}

}  // namespace
}  // namespace volane::test
