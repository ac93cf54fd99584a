// The About dialog's logic: title and version, System Information and the web site.
#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace volane {

inline constexpr std::wstring_view kAboutCaptionPrefix = L"关于 ";
inline constexpr std::wstring_view kVersionPrefix = L"版本 ";
inline constexpr std::wstring_view kSysInfoUnavailable = L"此时系统信息不可用";
inline constexpr const char* kMsinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char* kMsinfoValue = "PATH";
inline constexpr const char* kToolsLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr const char* kToolsLocationValue = "MSINFO";
inline constexpr const char* kMsinfoExe = "\\MSINFO32.EXE";
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kValueBufferSize = 1024;

// "版本 1.0.64" from the version numbers.
std::wstring VersionText();

// Reads a registry value as text. True when the value was read; false (and an empty KeyVal)
// when the key cannot be opened or the value cannot be read. A value with no data at all is a
// failure, on which StartSysInfo looks no further. The key is always closed.
Result<bool> GetKeyValue(IRegistry& registry, RegistryRoot KeyRoot, const std::string& KeyName,
                         const std::string& SubKeyRef, std::string& KeyVal);

// The conversion of a value's data to KeyVal by its type (pure, for the registry and the tests).
// Data with no bytes is a failure (5, an invalid call).
Result<void> ConvertValueData(std::uint32_t type, const std::uint8_t* data, std::uint32_t size,
                              std::string& KeyVal);

struct AboutServices {
    IRegistry& registry;
    IFileSystem& fs;
    IProcess& process;
    IUi& ui;
    IShell& shell;
    const ICodePage& codePage;
};

void StartSysInfo(AboutServices& services);

struct AboutControls {
    IWindow& window;
    IText& lblTitle;
    IText& lblVersion;
};

class frmAbout {
  public:
    frmAbout(AboutControls controls, AboutServices& services) : c_(controls), services_(services) {}

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void lblDisclaimer_Click();
    void picIcon_Click();

  private:
    void OpenWebSite();

    AboutControls c_;
    AboutServices& services_;
};

}  // namespace volane
