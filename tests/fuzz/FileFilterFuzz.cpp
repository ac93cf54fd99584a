// The file filter of a folder listing: LastComponent, GetFileExt and PassesFilter on any text.
// Input: the type list on the first line, a path (or bare name) after it.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "modules/mdlTVDir.h"
#include "platform/TextUtil.h"

namespace {

using volane::fuzz::AsciiLower;
using volane::fuzz::AsciiUpper;

// A plain scan from every start position, written apart from the library search it checks.
bool NaivePasses(std::wstring_view extension, std::wstring_view list) {
    if (extension.empty()) return false;
    for (std::size_t start = 0; start + extension.size() < list.size(); ++start) {
        bool same = true;
        for (std::size_t j = 0; same && j < extension.size(); ++j)
            same = list[start + j] == volane::LowerChar(extension[j]);
        if (same && list[start + extension.size()] == L';') return true;
    }
    return false;
}

void CheckLastComponent(std::wstring_view path) {
    const std::wstring_view name = volane::LastComponent(path);
    FUZZ_CHECK(name.size() <= path.size());
    FUZZ_CHECK(name.data() + name.size() == path.data() + path.size());
    FUZZ_CHECK(name.find(L'\\') == std::wstring_view::npos);
    if (path.find(L'\\') == std::wstring_view::npos)
        FUZZ_CHECK(name.size() == path.size());
    else
        FUZZ_CHECK(path[path.size() - name.size() - 1] == L'\\');
}

void CheckFileExt(std::wstring_view name) {
    const std::wstring_view ext = volane::GetFileExt(name);
    // A view into the name's own tail, so its case is the name's.
    FUZZ_CHECK(ext.size() <= name.size());
    FUZZ_CHECK(ext.data() + ext.size() == name.data() + name.size() || ext.empty());
    FUZZ_CHECK(name.substr(name.size() - ext.size()) == ext);
    FUZZ_CHECK(ext.find(L'.') == std::wstring_view::npos);
    if (name.find(L'.') == std::wstring_view::npos)
        FUZZ_CHECK(ext.empty());
    else
        FUZZ_CHECK(name[name.size() - ext.size() - 1] == L'.');
}

void CheckFilter(std::wstring_view extension, std::wstring_view list) {
    const bool passes = volane::PassesFilter(extension, list);
    FUZZ_CHECK(passes == NaivePasses(extension, list));

    // Case of ASCII letters in the extension never matters.
    std::wstring upper(extension), lower(extension);
    for (wchar_t& c : upper) c = AsciiUpper(c);
    for (wchar_t& c : lower) c = AsciiLower(c);
    FUZZ_CHECK(volane::PassesFilter(upper, list) == passes);
    FUZZ_CHECK(volane::PassesFilter(lower, list) == passes);

    // Whatever else the list holds, naming the extension with its semicolon lets it through.
    const std::wstring named = std::wstring(list) + volane::LowerCase(extension) + L';';
    FUZZ_CHECK(volane::PassesFilter(extension, named) == !extension.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto [listBytes, pathBytes] =
        volane::fuzz::SplitFirstLine(volane::fuzz::AsBytes(data, size));
    const std::wstring rawList = volane::fuzz::Widen(listBytes);
    const std::wstring path = volane::fuzz::Widen(pathBytes);

    CheckLastComponent(path);
    CheckFileExt(path);
    const std::wstring_view name = volane::LastComponent(path);
    CheckFileExt(name);

    // As the listing does it: the list lower-cased once, the extension of the last component.
    const std::wstring list = volane::LowerCase(rawList);
    const std::wstring_view extension = volane::GetFileExt(name);
    CheckFilter(extension, list);
    // And with a list that was never lower-cased: upper-case entries then match nothing.
    CheckFilter(extension, rawList);
    return 0;
}
