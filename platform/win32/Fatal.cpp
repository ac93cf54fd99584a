#include "platform/win32/Fatal.h"

#include <new>

#include "modules/mdlApp.h"

namespace volane::win32 {

namespace {

constexpr long kErrOutOfMemory = 7;
constexpr long kErrInternal = 51;

std::wstring WidenMessage(const char* text) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return wide;
}

}  // namespace

std::wstring FatalText(long number, const std::wstring& description) {
    return L"运行时错误 '" + std::to_wstring(number) + L"':\n\n" + description;
}

std::pair<long, std::wstring> DescribeFailure(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const AppError& e) {
        return {e.Number(), e.Description()};
    } catch (const std::bad_alloc&) {
        return {kErrOutOfMemory, L"内存不足"};
    } catch (const std::exception& e) {
        return {kErrInternal, WidenMessage(e.what())};
    } catch (...) {
        return {kErrInternal, L"内部错误"};
    }
}

void FatalExit(std::exception_ptr failure) {
    const auto [number, description] = DescribeFailure(failure);
    const std::wstring title(APP_TITLE);
    ::MessageBoxW(nullptr, FatalText(number, description).c_str(), title.c_str(),
                  MB_OK | MB_TASKMODAL);
    ::ExitProcess(kFatalExitCode);
}

}  // namespace volane::win32
