#include "platform/win32/Fatal.h"

#include <new>

#include "platform/win32/FormList.h"
#include "platform/win32/Text.h"

namespace volane::win32 {

namespace {

std::wstring& FatalTitle() {
    static std::wstring title;
    return title;
}

const FormList*& FatalOwners() {
    static const FormList* forms = nullptr;
    return forms;
}

}  // namespace

void SetFatalTitle(std::wstring title) {
    FatalTitle() = std::move(title);
}

void SetFatalOwners(const FormList* forms) {
    FatalOwners() = forms;
}

std::pair<long, std::wstring> DescribeFailure(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const AppError& e) {
        return {e.Number(), e.Description()};
    } catch (const std::bad_alloc&) {
        return {EntryOf(Failure::OutOfMemory).number,
                std::wstring(EntryOf(Failure::OutOfMemory).text)};
    } catch (const std::exception& e) {
        return {EntryOf(Failure::Internal).number, Widen(e.what(), CP_ACP)};
    } catch (...) {
        return {EntryOf(Failure::Internal).number, std::wstring(EntryOf(Failure::Internal).text)};
    }
}

void FatalExit(std::exception_ptr failure) {
    const auto [number, description] = DescribeFailure(failure);
    // In front of the window active in the program, as every box; with no window showing, task
    // modal, which disables every window of the thread instead. An owner already gone would keep
    // the box from showing at all.
    HWND owner = FatalOwners() ? FatalOwners()->ActiveWindow() : nullptr;
    if (!::IsWindow(owner)) owner = nullptr;
    ::MessageBoxW(owner, FatalText(number, description).c_str(), FatalTitle().c_str(),
                  MB_OK | MB_TASKMODAL);
    ::ExitProcess(kFatalExitCode);
}

}  // namespace volane::win32
