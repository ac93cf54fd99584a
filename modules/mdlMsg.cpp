#include "modules/mdlMsg.h"

#include "platform/Platform.h"
#include "platform/TextUtil.h"

namespace volane {

std::wstring ProcToTag(std::intptr_t previousProc) {
    return IntPtrToText(previousProc);
}

std::intptr_t TagToProc(const std::wstring& tag) {
    std::intptr_t proc = 0;
    if (!ParseIntPtr(tag, &proc)) throw AppError(Failure::TypeMismatch);
    return proc;
}

}  // namespace volane
