// mkfolders: makes the benchmark's test folders on the Linux side, for runs under Wine.
//
//   mkfolders DIR N...    creates DIR (when missing) and DIR/entries-N for each N, as
//                         FolderPlan.h plans it
//
// Creating a file through Wine makes Wine search the whole folder for a name that differs only
// in case, so filling one folder from a Windows program slows down with the square of its
// size (10,000 entries take a minute). Here the entries are made directly, and the hidden and
// system bits go where Wine keeps them: the extended attribute user.DOSATTRIB, as "0x<hex>".
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/FolderPlan.h"

namespace {

using volane::bench::PlanEntry;
using volane::bench::PlannedEntry;

// The plan's names in UTF-8, as Wine writes them in a UTF-8 locale (wchar_t holds UTF-32 here).
std::string Utf8(const std::wstring& wide) {
    std::string out;
    for (const wchar_t c : wide) {
        const auto u = static_cast<std::uint32_t>(c);
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else if (u < 0x10000) {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (u >> 18));
            out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

bool Fail(const std::string& what) {
    std::fprintf(stderr, "mkfolders: %s: %s\n", what.c_str(), std::strerror(errno));
    return false;
}

bool MakeEntry(const std::string& path, const PlannedEntry& e) {
    if (e.folder) {
        if (mkdir(path.c_str(), 0755) != 0) return Fail("mkdir " + path);
    } else {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0) return Fail("create " + path);
        close(fd);
    }
    const unsigned dosBits =
        e.attributes & (volane::bench::kAttrHidden | volane::bench::kAttrSystem);
    if (dosBits == 0) return true;
    char value[16];
    const int n = std::snprintf(value, sizeof(value), "0x%x", dosBits);
    if (setxattr(path.c_str(), "user.DOSATTRIB", value, static_cast<std::size_t>(n), 0) != 0)
        return Fail("setxattr " + path);
    return true;
}

bool MakeFolder(const std::string& root, std::size_t entries) {
    const std::string folder = root + "/entries-" + std::to_string(entries);
    if (mkdir(folder.c_str(), 0755) != 0) return Fail("mkdir " + folder);
    for (std::size_t i = 0; i < entries; ++i) {
        const PlannedEntry e = PlanEntry(i);
        if (!MakeEntry(folder + "/" + Utf8(e.name), e)) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: mkfolders DIR N...\n");
        return 2;
    }
    if (mkdir(argv[1], 0755) != 0 && errno != EEXIST) {
        Fail(std::string("mkdir ") + argv[1]);
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        const std::size_t entries = std::strtoull(argv[i], nullptr, 10);
        if (!MakeFolder(argv[1], entries)) return 1;
    }
    return 0;
}
