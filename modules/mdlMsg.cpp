#include "modules/mdlMsg.h"

#include "platform/Platform.h"
#include "platform/TextUtil.h"

namespace volane {

namespace {
constexpr long kErrTypeMismatch = 13;
}

std::wstring ProcToTag(std::intptr_t previousProc) {
    return IntPtrToText(previousProc);
}

std::intptr_t TagToProc(const std::wstring& tag) {
    std::intptr_t proc = 0;
    if (!ParseIntPtr(tag, &proc)) throw AppError(kErrTypeMismatch, L"类型不匹配");
    return proc;
}

}  // namespace volane
