// The failures Volane raises itself, each with the number and the text the fatal box shows:
// one table, so a number means one thing everywhere.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

namespace volane {

enum class Failure {
    InvalidCall,
    Overflow,
    OutOfMemory,
    SubscriptOutOfRange,
    TypeMismatch,
    Internal,
    ResourceNotFound,
    InvalidPropertyValue,
    InvalidPicture,
    IndexOutOfBounds,
    KeyNotUnique,
    CreateWindow,
    CreateControl,
    CreateMenu,
    CreateImageList,
};

struct FailureEntry {
    Failure failure;
    long number;
    std::wstring_view text;  // "{}" stands for the detail the raiser gives
};

inline constexpr std::array kFailures = {
    FailureEntry{Failure::InvalidCall, 5, L"无效的过程调用或参数"},
    FailureEntry{Failure::Overflow, 6, L"溢出"},
    FailureEntry{Failure::OutOfMemory, 7, L"内存不足"},
    FailureEntry{Failure::SubscriptOutOfRange, 9, L"下标越界"},
    FailureEntry{Failure::TypeMismatch, 13, L"类型不匹配"},
    FailureEntry{Failure::Internal, 51, L"内部错误"},
    FailureEntry{Failure::ResourceNotFound, 326, L"找不到标识符为 '{}' 的资源"},
    FailureEntry{Failure::InvalidPropertyValue, 380, L"无效属性值"},
    FailureEntry{Failure::InvalidPicture, 481, L"无效图片"},
    FailureEntry{Failure::IndexOutOfBounds, 35600, L"索引超出范围"},
    FailureEntry{Failure::KeyNotUnique, 35602, L"键不唯一"},
    FailureEntry{Failure::CreateWindow, 5, L"无法创建窗体 {}"},
    FailureEntry{Failure::CreateControl, 5, L"无法创建控件 {}"},
    FailureEntry{Failure::CreateMenu, 7, L"无法创建菜单"},
    FailureEntry{Failure::CreateImageList, 7, L"无法创建图像列表"},
};

constexpr const FailureEntry& EntryOf(Failure failure) {
    return kFailures[static_cast<std::size_t>(failure)];
}
static_assert([] {
    for (std::size_t i = 0; i < kFailures.size(); ++i)
        if (static_cast<std::size_t>(kFailures[i].failure) != i) return false;
    return true;
}());

// A failure that no handler recovers from. The top of every event handler turns it into the
// fatal box that shows the number and the description, then ends the process.
class AppError : public std::runtime_error {
  public:
    // One of Volane's own failures; detail fills the text's "{}".
    explicit AppError(Failure failure, std::wstring_view detail = {})
        : AppError(EntryOf(failure).number, Fill(EntryOf(failure).text, detail)) {}
    // A failure the system reported, with its own number and wording.
    AppError(long number, std::wstring description)
        : std::runtime_error("Volane failure"),
          number_(number),
          description_(std::move(description)) {}
    long Number() const { return number_; }
    const std::wstring& Description() const { return description_; }

  private:
    static std::wstring Fill(std::wstring_view text, std::wstring_view detail) {
        std::wstring filled(text);
        if (const auto at = filled.find(L"{}"); at != std::wstring::npos)
            filled.replace(at, 2, detail);
        return filled;
    }

    long number_;
    std::wstring description_;
};

}  // namespace volane
