#include "modules/mdlTVDir.h"

#include "platform/PackedText.h"
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
            if (PassesFilter(extension, typeList_))
                files_.Add(name, GetImageIndex(services_.ImageNames, extension));
        }
    }

    // Marks the node expanded and reads the type list, once, before the first child.
    void Begin() {
        if (begun_) return;
        begun_ = true;
        services_.tree.Expand(path_);
        typeList_ = LowerCase(ReadSetup(kFileTypesKey, services_.process, services_.profile));
        folderImage_ = GetImageIndex(services_.ImageNames, L"folder");
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
    // The files that wait until every sub-folder is in, with their pictures (all below 0x80). A
    // folder of 100,000 files keeps about 2 MB here, not a string and a heap block per name.
    TextQueue files_;
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

NodeAction ExpandPath(const std::wstring& path, ListingServices& services) {
    if (!services.fs.FolderExists(path)) {
        // Anything that is not an existing folder goes to the editor; a failed start is silent.
        static_cast<void>(services.process.Start(
            BuildEditorCommandLine(services.process.CommandLineTail(), path), kShowMinimized));
        return NodeAction::Opened;
    }
    ListingSink sink(path, services);
    Result<void> listed;
    {
        // The wait cursor until the listing is in the tree; no box shows under it.
        const BusyCursor busy(services.ui);
        listed = services.fs.Enumerate(path, sink);
        // A folder that cannot be opened leaves the tree as it is; one that fails part way
        // keeps what was read. Either way the user is told why.
        if (listed || sink.Begun()) sink.Finish();
    }
    if (!listed) services.ui.ShowMessage(listed.Error().text, std::wstring(kMessageTitle));
    return NodeAction::Listed;
}

}  // namespace volane
