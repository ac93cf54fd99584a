// Folder listing, the extension filter, the settings file and the start of the editor.
#pragma once

#include <string>
#include <string_view>

#include "modules/mdlApp.h"
#include "platform/Platform.h"

namespace volane {

inline constexpr std::wstring_view kMessageTitle = L"提示：";
inline constexpr std::wstring_view kSetupFile = L"\\setup.ini";
inline constexpr std::wstring_view kSetupSection = L"setup";
inline constexpr std::wstring_view kFileTypesKey = L"fileTypes";
// Attribute value of a folder that the listing hides: directory, system and hidden, nothing else.
inline constexpr std::uint32_t kHiddenSystemFolder = kAttrDirectory | kAttrSystem | kAttrHidden;

// The extension of a file name without the dot, in the name's own case; "" when none.
std::wstring_view GetFileExt(std::wstring_view name);
// Whether a file with that extension passes the lower-cased type list.
bool PassesFilter(std::wstring_view extension, std::wstring_view lowerTypeList);

// A value of the section "setup" of setup.ini beside the executable, trimmed of blanks.
std::wstring ReadSetup(std::wstring_view key, IProcess& process, IProfile& profile);

// The editor's command line: the editor command, one blank, the path (quoted when the path
// holds a blank or a character that would split it).
std::wstring BuildEditorCommandLine(std::wstring_view editorCommand, std::wstring_view path);

struct ListingServices {
    IFileSystem& fs;
    IProcess& process;
    IProfile& profile;
    IUi& ui;
    ITree& tree;
    const ImageNameTable& ImageNames;
};

// What a double-click or Enter on the tree did with the selected node.
enum class NodeAction {
    Nothing,     // no node is selected, or the double-click was beside the nodes
    LeftToTree,  // the node has children: opening and closing it is the tree's own
    Listed,      // the folder was listed below its node, or a box said why it could not be
    Opened,      // the path went to the editor, whether or not the editor started
};

// Lists the folder below its node, or starts the editor when path is no existing folder; Listed
// or Opened.
NodeAction ExpandPath(const std::wstring& path, ListingServices& services);

}  // namespace volane
