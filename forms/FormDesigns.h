// The designed state of every form: caption, frame, client size, controls and menus, in twips.
// The form runtime builds each window from these tables when the form is loaded.
#pragma once

#include <string_view>

#include "platform/FormDesign.h"

namespace volane {

const FormDesign& MainDesign();
const FormDesign& SourceDesign();
const FormDesign& AboutDesign();

// The About box's paragraph on why the tool exists: 200 bytes in code page 936.
inline constexpr std::wstring_view kAboutDescription =
    L"编写本工具，是为了弥补编辑器自带的文件夹树在选择要编辑的文件时的不足。作者一直没有改进它，"
    L"而编辑器又是我日常工作中用得最多的工具，于是写了这个小程序，免费送给编辑器的广大用户们，"
    L"希望方便大家日常使用。";

}  // namespace volane
