// Volane's own command line split after the program name, and the editor's command line built
// from the rest. Input: the command line, a line feed, a path to open.
#include "Fuzz.h"
#include "modules/mdlTVDir.h"
#include "platform/TextUtil.h"

using namespace volane;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const auto [lineBytes, pathBytes] = Split(data, size);
    const std::wstring line = Widen(lineBytes), path = Widen(pathBytes);
    // The tail ends the line; before it stand the program's name and the blanks after it.
    const std::wstring_view tail = CommandLineTail(line);
    const std::wstring_view head = std::wstring_view(line).substr(0, line.size() - tail.size());
    const std::wstring_view name = head.substr(0, head.find_last_not_of(L" \t") + 1);
    const auto quotes = std::count(name.begin(), name.end(), L'"');
    FUZZ_CHECK(line.ends_with(tail) && !tail.starts_with(L' ') && !tail.starts_with(L'\t'));
    if (line.starts_with(L'"'))  // up to the closing quote, or all of it
        FUZZ_CHECK(quotes == 2 ? name.ends_with(L'"') : quotes == 1 && tail.empty());
    else  // up to the first blank or tab
        FUZZ_CHECK(name.find_first_of(L" \t") == name.npos && (tail.empty() || name != head));
    // The editor gets its command, one blank and the path as one argument.
    const std::wstring command = BuildEditorCommandLine(tail, path);
    const std::wstring argument = command.substr(tail.size() + 1);
    FUZZ_CHECK(command.starts_with(std::wstring(tail) + L' '));
    FUZZ_CHECK(argument == path || argument == L'"' + path + L'"');
    return 0;
}
