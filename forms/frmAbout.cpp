#include "forms/frmAbout.h"

#include <algorithm>
#include <array>

#include "modules/mdlApp.h"
#include "version.h"

namespace volane {

namespace {

void ShowUnavailable(AboutServices& services) {
    services.ui.ShowMessage(std::wstring(kSysInfoUnavailable), std::wstring(APP_TITLE));
}

// The hexadecimal digits of a byte without leading zeros.
std::string HexByte(unsigned char byte) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    if (byte >= 16) hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
    return hex;
}

}  // namespace

std::wstring VersionText() {
    return std::wstring(kVersionPrefix) + std::to_wstring(VOLANE_VERSION_MAJOR) + L"." +
           std::to_wstring(VOLANE_VERSION_MINOR) + L"." + std::to_wstring(VOLANE_VERSION_REVISION);
}

Result<void> ConvertValueData(std::uint32_t type, const std::uint8_t* data, std::uint32_t size,
                              std::string& KeyVal) {
    if (size == 0) {
        const FailureEntry& noData = EntryOf(Failure::InvalidCall);
        return Error{noData.number, std::wstring(noData.text)};
    }
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
    return {};
}

Result<bool> GetKeyValue(IRegistry& registry, RegistryRoot KeyRoot, const std::string& KeyName,
                         const std::string& SubKeyRef, std::string& KeyVal) {
    // The key object closes the key on every road out of here.
    const Result<std::unique_ptr<IRegistryKey>> key = registry.Open(KeyRoot, KeyName);
    std::array<std::uint8_t, kValueBufferSize> buffer{};
    const Result<ValueRead> read = key ? (*key)->Query(SubKeyRef, buffer) : key.Error();
    if (!read) {
        KeyVal.clear();
        return false;
    }
    const Result<void> converted =
        ConvertValueData(read->type, buffer.data(), std::min(read->size, kValueBufferSize), KeyVal);
    if (!converted) return converted.Error();
    return true;
}

void StartSysInfo(AboutServices& services) {
    std::string path;
    // A look-up that fails, at either location, ends in the message at once.
    const Result<bool> atFirst =
        GetKeyValue(services.registry, RegistryRoot::LocalMachine, kMsinfoKey, kMsinfoValue, path);
    if (!atFirst) return ShowUnavailable(services);
    // The first location names the program itself and is started as read; only without it does
    // the folder of the second location count, and only with the file present.
    if (!*atFirst) {
        const Result<bool> atSecond = GetKeyValue(services.registry, RegistryRoot::LocalMachine,
                                                  kToolsLocationKey, kToolsLocationValue, path);
        if (!atSecond || !*atSecond) return ShowUnavailable(services);
        path += kMsinfoExe;
        if (!services.fs.IsPlainFile(services.codePage.ToWide(path)))
            return ShowUnavailable(services);
    }
    if (!services.process.Start(services.codePage.ToWide(path), kShowNormal))
        ShowUnavailable(services);
}

void frmAbout::Form_Load() {
    c_.window.SetCaption(std::wstring(kAboutCaptionPrefix) + std::wstring(APP_TITLE));
    c_.lblVersion.SetText(VersionText());
    c_.lblTitle.SetText(std::wstring(APP_TITLE));
}

void frmAbout::cmdOK_Click() {
    c_.window.Unload();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo(services_);
}

void frmAbout::OpenWebSite() {
    // Whether a browser opens or not, the dialog closes, and no box says why none did.
    static_cast<void>(services_.shell.Open(std::string(kWebAddress)));
    c_.window.Unload();
}

void frmAbout::lblDisclaimer_Click() {
    OpenWebSite();
}

void frmAbout::picIcon_Click() {
    OpenWebSite();
}

}  // namespace volane
