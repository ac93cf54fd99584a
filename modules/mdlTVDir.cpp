#include "modules/mdlTVDir.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "modules/mdlApp.h"
#include "platform/TextUtil.h"

namespace volane {

std::wstring_view GetFileExt(std::wstring_view name) {
    const auto dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos) return {};
    return name.substr(dot + 1);
}

bool PassesFilter(std::wstring_view extension, std::wstring_view lowerTypeList) {
    if (extension.empty()) return false;
    std::wstring needle = LowerCase(extension);
    needle += L';';
    return lowerTypeList.find(needle) != std::wstring_view::npos;
}

std::wstring_view LastComponent(std::wstring_view path) {
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

std::wstring ReadSetup(std::wstring_view key, IProcess& process, IProfile& profile) {
    // No separator is added or removed: beside an executable in a drive root the name holds
    // two backslashes in a row, which the profile reader takes as one.
    const std::wstring file = process.ExeFolder() + std::wstring(kSetupFile);
    return TrimBlanks(profile.ReadString(std::wstring(kSetupSection), std::wstring(key), file));
}

namespace {

// Characters that would split the path into several arguments or be taken by the command
// interpreter when the editor is a batch file.
bool NeedsQuotes(std::wstring_view path) {
    return path.find_first_of(L" \t&()[]{}^=;!'+,~`") != std::wstring_view::npos;
}

std::wstring ChildKey(std::wstring_view folder, std::wstring_view name) {
    std::wstring key;
    key.reserve(folder.size() + 1 + name.size());
    key += folder;
    if (key.empty() || key.back() != L'\\') key += L'\\';
    key += name;
    return key;
}

// The files that wait until every sub-folder is in, with their pictures, one after the other in
// chunks that never move: a byte for the picture and whether the name takes one byte a
// character (all below U+0100), the length in as few bytes as it needs, then the characters.
// A folder of 100,000 files keeps about 2 MB here, not a string and a heap block per name; and
// each chunk is given back as soon as its files are in the tree, so the tree's own growth reuses
// it.
class PendingFiles {
  public:
    void Add(std::wstring_view name, int image) {
        const bool narrow = FitsOneByte(name);
        const std::size_t bytes = kMaxHeader + name.size() * (narrow ? 1 : sizeof(wchar_t));
        if (chunks_.empty() || chunks_.back().used + bytes > chunks_.back().size) {
            const std::size_t size = std::max(kChunkBytes, bytes);
            chunks_.push_back({std::make_unique_for_overwrite<unsigned char[]>(size), size, 0});
        }
        Chunk& chunk = chunks_.back();
        unsigned char* out = chunk.bytes.get() + chunk.used;
        *out++ = static_cast<unsigned char>(image | (narrow ? kNarrow : 0));
        for (std::size_t length = name.size();; length >>= 7) {
            *out++ = static_cast<unsigned char>((length & 0x7F) | (length > 0x7F ? 0x80 : 0));
            if (length <= 0x7F) break;
        }
        if (narrow) {
            for (wchar_t c : name) *out++ = static_cast<unsigned char>(c);
        } else {
            std::memcpy(out, name.data(), name.size() * sizeof(wchar_t));
            out += name.size() * sizeof(wchar_t);
        }
        chunk.used = static_cast<std::size_t>(out - chunk.bytes.get());
    }

    // Calls f(name, image) for every file in the order they were added, and empties the list.
    template <typename F>
    void Drain(F f) {
        std::wstring name;
        for (Chunk& chunk : chunks_) {
            const unsigned char* at = chunk.bytes.get();
            const unsigned char* end = at + chunk.used;
            while (at < end) {
                const int image = *at & ~kNarrow;
                const bool narrow = (*at++ & kNarrow) != 0;
                std::size_t length = 0;
                for (unsigned shift = 0;; shift += 7) {
                    length |= static_cast<std::size_t>(*at & 0x7F) << shift;
                    if (!(*at++ & 0x80)) break;
                }
                name.resize(length);
                if (narrow) {
                    for (wchar_t& c : name) c = static_cast<wchar_t>(*at++);
                } else {
                    std::memcpy(name.data(), at, length * sizeof(wchar_t));
                    at += length * sizeof(wchar_t);
                }
                f(std::wstring_view(name), image);
            }
            chunk.bytes.reset();
        }
        chunks_.clear();
    }

  private:
    static constexpr unsigned char kNarrow = 0x80;  // pictures number below 0x80
    static constexpr std::size_t kMaxHeader = 1 + (sizeof(std::size_t) * 8 + 6) / 7;
    static constexpr std::size_t kChunkBytes = std::size_t{1} << 16;
    struct Chunk {
        std::unique_ptr<unsigned char[]> bytes;
        std::size_t size = 0;
        std::size_t used = 0;
    };
    std::vector<Chunk> chunks_;
};

// Collects one folder's listing: sub-folders go into the tree as they come, files that pass the
// filter wait until every sub-folder is in, so sub-folders always come first.
class ListingSink final : public IEntrySink {
  public:
    ListingSink(const std::wstring& path, ListingServices& services)
        : path_(path), services_(services) {}

    void OnEntry(std::wstring_view name, std::uint32_t attributes) override {
        Begin();
        if (attributes & kAttrDirectory) {
            if (attributes == kHiddenSystemFolder) return;
            services_.tree.Add(path_, ChildKey(path_, name), name, folderImage_);
        } else {
            const std::wstring_view extension = GetFileExt(name);
            if (PassesFilter(extension, typeList_)) files_.Add(name, GetImageIndex(extension));
        }
    }

    // Marks the node expanded and reads the type list, once, before the first child.
    void Begin() {
        if (begun_) return;
        begun_ = true;
        services_.tree.Expand(path_);
        typeList_ = LowerCase(ReadSetup(kFileTypesKey, services_.process, services_.profile));
        folderImage_ = GetImageIndex(L"folder");
        services_.tree.SetRedraw(false);
    }

    bool Begun() const { return begun_; }

    void Finish() {
        Begin();
        files_.Drain([this](std::wstring_view name, int image) {
            services_.tree.Add(path_, ChildKey(path_, name), name, image);
        });
        services_.tree.SetRedraw(true);
    }

  private:
    const std::wstring& path_;
    ListingServices& services_;
    bool begun_ = false;
    std::wstring typeList_;
    int folderImage_ = kImageFallback;
    PendingFiles files_;
};

// Shows the wait cursor for as long as it lives.
class BusyCursor {
  public:
    explicit BusyCursor(IUi& ui) : ui_(ui) { ui_.SetBusy(true); }
    ~BusyCursor() { ui_.SetBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    IUi& ui_;
};

}  // namespace

std::wstring BuildEditorCommandLine(std::wstring_view editorCommand, std::wstring_view path) {
    std::wstring line;
    line.reserve(editorCommand.size() + path.size() + 3);
    line += editorCommand;
    line += L' ';
    if (NeedsQuotes(path)) {
        line += L'"';
        line += path;
        line += L'"';
    } else {
        line += path;
    }
    return line;
}

void ExpandPath(const std::wstring& path, ListingServices& services) {
    if (!services.fs.FolderExists(path)) {
        // Anything that is not an existing folder goes to the editor; a failed start is silent.
        services.process.Start(BuildEditorCommandLine(services.process.CommandLineTail(), path),
                               kShowMinimized);
        return;
    }
    ListingSink sink(path, services);
    std::optional<std::wstring> failure;
    {
        // The wait cursor until the listing is in the tree; no box shows under it.
        const BusyCursor busy(services.ui);
        failure = services.fs.Enumerate(path, sink);
        // A folder that cannot be opened leaves the tree as it is; one that fails part way
        // keeps what was read. Either way the user is told why.
        if (!failure || sink.Begun()) sink.Finish();
    }
    if (failure) services.ui.ShowMessage(*failure, std::wstring(kMessageTitle));
}

}  // namespace volane
