// CommandLineTail on any command line, and on lines put together from a program name, blanks and
// an editor command, where the editor command must come back unchanged.
// Input: the whole input is one command line; split at the first line feed it is also a
// program name and the editor command that follows it.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "platform/TextUtil.h"

namespace {

bool IsSeparator(wchar_t c) {
    return c == L' ' || c == L'\t';
}

void CheckAnyLine(std::wstring_view line) {
    const std::wstring_view tail = volane::CommandLineTail(line);
    FUZZ_CHECK(tail.size() <= line.size());
    FUZZ_CHECK(line.substr(line.size() - tail.size()) == tail);
    FUZZ_CHECK(tail.empty() || !IsSeparator(tail.front()));
    const std::wstring_view name = line.substr(0, line.size() - tail.size());
    // Where the program's name ends: after its closing quote when quoted (at the end of the line
    // when the quote is never closed), else at the first blank or tab.
    std::size_t nameEnd = line.size();
    if (!line.empty() && line.front() == L'"') {
        const std::size_t close = line.find(L'"', 1);
        if (close != std::wstring_view::npos) nameEnd = close + 1;
    } else {
        nameEnd = std::min(line.size(), line.find_first_of(L" \t"));
    }
    // Between the name and the tail stand blanks and tabs only.
    FUZZ_CHECK(name.size() >= nameEnd);
    FUZZ_CHECK(name.find_first_not_of(L" \t", nameEnd) == std::wstring_view::npos);
}

void CheckBuiltLine(std::wstring_view program, std::wstring_view editor) {
    // The editor command as a caller would get it back: its own leading blanks belong to the
    // separator.
    const std::size_t start = editor.find_first_not_of(L" \t");
    const std::wstring_view expected =
        start == std::wstring_view::npos ? std::wstring_view() : editor.substr(start);
    constexpr std::array<std::wstring_view, 3> kSeparators = {L" ", L"\t", L"  \t "};

    for (std::wstring_view separator : kSeparators) {
        if (program.find(L'"') == std::wstring_view::npos) {
            const std::wstring quoted = L"\"" + std::wstring(program) + L"\"" +
                                        std::wstring(separator) + std::wstring(editor);
            FUZZ_CHECK(volane::CommandLineTail(quoted) == expected);
        }
        const bool plain = !program.empty() && program.front() != L'"' &&
                           program.find_first_of(L" \t") == std::wstring_view::npos;
        if (plain) {
            const std::wstring unquoted =
                std::wstring(program) + std::wstring(separator) + std::wstring(editor);
            FUZZ_CHECK(volane::CommandLineTail(unquoted) == expected);
        }
    }
    // Without any editor command the tail is empty, which is what ends the program at start.
    if (program.find(L'"') == std::wstring_view::npos)
        FUZZ_CHECK(volane::CommandLineTail(L"\"" + std::wstring(program) + L"\"").empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = volane::fuzz::AsBytes(data, size);
    CheckAnyLine(volane::fuzz::Widen(bytes));
    const auto [programBytes, editorBytes] = volane::fuzz::SplitFirstLine(bytes);
    CheckBuiltLine(volane::fuzz::Widen(programBytes), volane::fuzz::Widen(editorBytes));
    return 0;
}
