// The failures Volane raises itself, each with the number and the text the fatal box shows, in
// one table: each failure has its one number and text. A number may stand for more than one
// failure (5 and 7 each stand for three), so the table is looked up by the failure, never by
// its number. And the other words of failures.
#pragma once

#include <array>
#include <initializer_list>
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
    std::wstring_view text;  // each "{}" stands for a detail the raiser gives, in order
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
    FailureEntry{Failure::CreateWindow, 5, L"无法创建窗体 {}，错误 {}"},
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

// The fatal box's text: the failure's number and its description.
inline std::wstring FatalText(long number, std::wstring_view description) {
    return L"运行时错误 '" + std::to_wstring(number) + L"':\n\n" + std::wstring(description);
}

// The text of a system error that the system cannot describe.
inline std::wstring UndescribedErrorText(unsigned long code) {
    return L"错误 " + std::to_wstring(code);
}

// A failure that no handler recovers from. The top of every event handler turns it into the
// fatal box that shows the number and the description, then ends the process.
class AppError : public std::runtime_error {
  public:
    // One of Volane's own failures; the details fill the text's "{}"s.
    explicit AppError(Failure failure, std::wstring_view detail = {}, std::wstring_view more = {})
        : AppError(EntryOf(failure).number, Fill(EntryOf(failure).text, {detail, more})) {}
    // A failure the system reported, with its own number and wording.
    AppError(long number, std::wstring description)
        : std::runtime_error("Volane failure"),
          number_(number),
          description_(std::move(description)) {}
    long Number() const { return number_; }
    const std::wstring& Description() const { return description_; }

  private:
    static std::wstring Fill(std::wstring_view text,
                             std::initializer_list<std::wstring_view> details) {
        std::wstring filled(text);
        std::size_t from = 0;
        for (std::wstring_view detail : details) {
            const auto at = filled.find(L"{}", from);
            if (at == std::wstring::npos) break;
            filled.replace(at, 2, detail);
            from = at + detail.size();
        }
        return filled;
    }

    long number_;
    std::wstring description_;
};

}  // namespace volane
