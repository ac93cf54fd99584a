#include "forms/frmAbout.h"

#include <array>

#include "modules/mdlApp.h"

namespace volane {

namespace {

constexpr long kErrInvalidCall = 5;

void ShowUnavailable(AboutServices& services) {
    services.ui.MessageBox(std::wstring(kSysInfoUnavailable), std::wstring(APP_TITLE));
}

// The hexadecimal digits of a byte without leading zeros.
std::string HexByte(unsigned char byte) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    if (byte >= 16) hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
    return hex;
}

// Closes the key on every road out of GetKeyValue, including the one where it never opened.
class KeyCloser {
  public:
    KeyCloser(IRegistry& registry, const IRegistry::Key& key) : registry_(registry), key_(key) {}
    ~KeyCloser() { registry_.Close(key_); }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;

  private:
    IRegistry& registry_;
    const IRegistry::Key& key_;
};

}  // namespace

std::wstring VersionText() {
    return std::wstring(kVersionPrefix) + std::to_wstring(VOLANE_VERSION_MAJOR) + L"." +
           std::to_wstring(VOLANE_VERSION_MINOR) + L"." + std::to_wstring(VOLANE_VERSION_REVISION);
}

bool ConvertValueData(std::uint32_t type, const std::uint8_t* data, std::uint32_t size,
                      std::string& KeyVal) {
    if (size == 0) return false;
    std::string text(reinterpret_cast<const char*>(data), size);
    // Only the one terminating NUL of a text value goes; anything before it stays.
    if (text.back() == '\0') text.pop_back();
    if (type == kRegSz) {
        KeyVal = text;
    } else if (type == kRegDword) {
        for (auto it = text.rbegin(); it != text.rend(); ++it)
            KeyVal += HexByte(static_cast<unsigned char>(*it));
        KeyVal = "&h" + KeyVal;
    }
    return true;
}

bool GetKeyValue(IRegistry& registry, IRegistry::Key KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal) {
    IRegistry::Key key = 0;
    KeyCloser closer(registry, key);
    if (registry.Open(KeyRoot, KeyName, &key) != 0) {
        KeyVal.clear();
        return false;
    }
    std::array<std::uint8_t, kValueBufferSize> buffer{};
    std::uint32_t type = 0;
    std::uint32_t size = kValueBufferSize;
    if (registry.Query(key, SubKeyRef, &type, buffer.data(), &size) != 0) {
        KeyVal.clear();
        return false;
    }
    if (size > kValueBufferSize) size = kValueBufferSize;
    if (!ConvertValueData(type, buffer.data(), size, KeyVal))
        throw AppError(kErrInvalidCall, L"无效的过程调用或参数");
    return true;
}

void StartSysInfo(AboutServices& services) {
    std::string path;
    try {
        if (!GetKeyValue(services.registry, IRegistry::kLocalMachine, kMsinfoKey, kMsinfoValue,
                         path)) {
            // The first location names the program itself and is started as read; only without
            // it does the folder of the second location count, and only with the file present.
            if (!GetKeyValue(services.registry, IRegistry::kLocalMachine, kToolsLocationKey,
                             kToolsLocationValue, path)) {
                ShowUnavailable(services);
                return;
            }
            path += kMsinfoExe;
            if (!services.fs.IsPlainFile(services.codePage.ToWide(path))) {
                ShowUnavailable(services);
                return;
            }
        }
        if (!services.process.Start(services.codePage.ToWide(path), kShowNormal))
            ShowUnavailable(services);
    } catch (const AppError&) {
        ShowUnavailable(services);
    }
}

void frmAbout::Form_Load() {
    c_.window.SetCaption(std::wstring(kAboutCaptionPrefix) + std::wstring(APP_TITLE));
    c_.lblVersion.SetText(VersionText());
    c_.lblTitle.SetText(std::wstring(APP_TITLE));
}

void frmAbout::cmdOK_Click() {
    host_.UnloadAbout();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo(services_);
}

void frmAbout::OpenWebSite() {
    // Whether a browser opens or not, the dialog closes.
    services_.shell.Open(std::string(WEB_ADDRESS));
    host_.UnloadAbout();
}

void frmAbout::lblDisclaimer_Click() {
    OpenWebSite();
}

void frmAbout::picIcon_Click() {
    OpenWebSite();
}

}  // namespace volane
