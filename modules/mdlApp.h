// Start-up, the icon table, the drive roots and the notice to the running instance.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "identity.h"
#include "platform/Platform.h"

namespace volane {

inline constexpr std::wstring_view WINDOW_TITLE = VOLANE_WIDEN(VOLANE_WINDOW_TITLE);
inline constexpr std::wstring_view APP_TITLE = VOLANE_WIDEN(VOLANE_APP_TITLE);
inline constexpr std::string_view kWebAddress = VOLANE_WEB_ADDRESS;

// The type names of the icon table, in image order (index 1 first).
inline constexpr std::array<std::wstring_view, 9> kTypeNames = {
    L"qe", L"root", L"folder", L"css", L"html", L"htm", L"js", L"php", L"txt"};
inline constexpr int kImageFallback = 1;

// The icon table ImageNames: slot i holds the type name of picture i of ilFiles, for slots 1 to
// 10 (index 0 unused). The application owns it; InitImages fills it once, at start-up, and
// GetImageIndex reads it for every drive root and every listed entry.
using ImageNameTable = std::array<std::optional<std::wstring>, 11>;

// frmSource's staging picture box Picture1 and image list ilFiles, through which the icon
// table is filled.
class IPictureStage {
  public:
    virtual ~IPictureStage() = default;
    // Loads the BITMAP resource of that name (any case) into Picture1; throws AppError when the
    // resource cannot be found or loaded.
    virtual void LoadPicture(const std::wstring& resourceName) = 0;
    virtual int ImageCount() const = 0;
    // Adds a copy of Picture1's drawn image at the 1-based index, with no key.
    virtual void AddDrawnImage(int index) = 0;
    // Makes ilFiles the image list of tv1.
    virtual void AttachToTree() = 0;
};

// The picture index for a type name: 1 to 9, 1 when the name has no picture of its own.
std::int16_t GetImageIndex(const ImageNameTable& ImageNames, std::wstring_view typeName);
// Loads the eight node bitmaps through Picture1 into ilFiles and fills ImageNames.
void InitImages(IPictureStage& stage, ImageNameTable& ImageNames);

// The label of a drive type number, or empty when such drives are not shown.
std::wstring_view DriveLabel(int driveType);
// Adds one root node per shown drive, in the order the file system lists them.
void LoadDrives(IFileSystem& fs, ITree& tree, const ImageNameTable& ImageNames);

// Finds the running instance's main window by its caption and asks it to restore itself.
void NotifyPrevInstance(IInstanceChannel& channel, const ICodePage& codePage);

// The steps Main takes on the building road, provided by the application host.
class IStartupSteps {
  public:
    virtual ~IStartupSteps() = default;
    virtual void LoadMainForm() = 0;
    virtual void LoadSourceForm() = 0;
    virtual void InitImages() = 0;
    virtual void ShowMainForm() = 0;
    virtual void LoadDrives() = 0;
};

enum class StartupRoad { HandOver, Quit, Build };

// Start-up: hands over to a running instance, ends on an empty command line, or builds the
// main window. Returns the road taken.
StartupRoad Main(IProcess& process, IInstanceChannel& channel, const ICodePage& codePage,
                 IStartupSteps& steps);

}  // namespace volane
