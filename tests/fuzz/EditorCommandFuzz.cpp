// The editor's command line built from any editor command and any path.
// Input: the editor command on the first line, the path after it.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "modules/mdlTVDir.h"

namespace {

// The characters that make the path quoted, listed here on their own so that a change to the
// library's set shows up as a broken invariant.
bool HasSplittingCharacter(std::wstring_view path) {
    constexpr std::wstring_view kSplitters = L" \t&()[]{}^=;!'+,~`";
    for (wchar_t c : path)
        for (wchar_t s : kSplitters)
            if (c == s) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto [commandBytes, pathBytes] =
        volane::fuzz::SplitFirstLine(volane::fuzz::AsBytes(data, size));
    const std::wstring command = volane::fuzz::Widen(commandBytes);
    const std::wstring path = volane::fuzz::Widen(pathBytes);

    const std::wstring line = volane::BuildEditorCommandLine(command, path);

    // The editor command exactly as given, then one blank.
    FUZZ_CHECK(line.size() > command.size());
    FUZZ_CHECK(line.compare(0, command.size(), command) == 0);
    FUZZ_CHECK(line[command.size()] == L' ');

    const std::wstring_view argument = std::wstring_view(line).substr(command.size() + 1);
    if (HasSplittingCharacter(path)) {
        FUZZ_CHECK(argument.size() == path.size() + 2);
        FUZZ_CHECK(argument.front() == L'"' && argument.back() == L'"');
        FUZZ_CHECK(argument.substr(1, path.size()) == path);
    } else {
        // Nothing added, nothing lost: the path verbatim, to the end of the line.
        FUZZ_CHECK(argument == path);
    }
    return 0;
}
