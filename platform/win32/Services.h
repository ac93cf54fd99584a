// The Win32 implementations of the platform services.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "platform/win32/Handles.h"

namespace volane::win32 {

class FormList;

// UTF-16 <-> ANSI code page (CP_ACP), the only place text is converted.
class CodePage final : public ICodePage {
  public:
    std::wstring ToWide(std::string_view ansi) const override;
    std::string ToAnsi(std::wstring_view wide) const override;
};

class FileSystem final : public IFileSystem {
  public:
    std::vector<Drive> Drives() override;
    bool FolderExists(const std::wstring& path) override;
    Result<void> Enumerate(const std::wstring& path, IEntrySink& sink) override;
    bool IsPlainFile(const std::wstring& path) override;
};

class Process final : public IProcess {
  public:
    // GetModuleFileNameW, unless a test puts a stand-in there to hand out names longer than
    // any real folder it could make.
    using ModuleNameCall = DWORD(WINAPI*)(HMODULE module, LPWSTR buffer, DWORD size);
    // instanceName: the named object that marks a running instance.
    explicit Process(std::wstring instanceName, ModuleNameCall moduleName = &::GetModuleFileNameW)
        : instanceName_(std::move(instanceName)), moduleName_(moduleName) {}

    bool AnotherInstanceRunning() override;
    std::wstring CommandLineTail() override;
    std::wstring ExeFolder() override;
    Result<void> Start(const std::wstring& commandLine, int show) override;

  private:
    std::wstring instanceName_;
    ModuleNameCall moduleName_;
    unique_handle instanceMutex_;   // held for the process's life
    bool anotherInstance_ = false;  // what the first AnotherInstanceRunning found
};

class Profile final : public IProfile {
  public:
    // The platform's profile reader, GetPrivateProfileStringW unless a test puts a stand-in in
    // its place.
    using ReadCall = DWORD(WINAPI*)(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, LPWSTR buffer,
                                    DWORD size, LPCWSTR file);
    explicit Profile(ReadCall read = &::GetPrivateProfileStringW) : read_(read) {}

    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& file) override;

  private:
    ReadCall read_;
};

class Registry final : public IRegistry {
  public:
    // RegOpenKeyExA, late bound unless a test records the access asked for: Wine grants write
    // access where Windows refuses it to a standard user.
    using OpenCall = LONG(WINAPI*)(HKEY root, LPCSTR subKey, DWORD options, REGSAM access,
                                   PHKEY opened);
    explicit Registry(OpenCall open = nullptr) : open_(open) {}

    Result<std::unique_ptr<IRegistryKey>> Open(RegistryRoot root,
                                               const std::string& subKey) override;

  private:
    OpenCall open_;
};

class Shell final : public IShell {
  public:
    // ShellExecuteA, late bound unless a test records the call: under Wine an address opened for
    // real starts a browser that can outlive the run.
    using ExecuteCall = HINSTANCE(WINAPI*)(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                           LPCSTR folder, INT show);
    explicit Shell(ExecuteCall execute = nullptr) : execute_(execute) {}

    Result<void> Open(const std::string& address) override;

  private:
    ExecuteCall execute_;
};

class InstanceChannel final : public IInstanceChannel {
  public:
    // AllowSetForegroundWindow unless a test records the call: Wine lets any process take the
    // foreground, so there only the call's argument shows what Windows needs.
    using AllowCall = BOOL(WINAPI*)(DWORD processId);
    explicit InstanceChannel(AllowCall allow = ::AllowSetForegroundWindow) : allow_(allow) {}

    std::intptr_t FindWindowByTitle(const std::string& ansiTitle) override;
    void AllowForeground(std::intptr_t window) override;
    void Send(std::intptr_t window, unsigned message, std::uintptr_t wParam) override;

  private:
    AllowCall allow_;
};

class Ui final : public IUi {
  public:
    // forms: whose active window each box belongs to.
    explicit Ui(const FormList& forms) : forms_(forms) {}

    void ShowMessage(const std::wstring& text, const std::wstring& title) override;
    void SetBusy(bool busy) override;

  private:
    const FormList& forms_;
    HCURSOR before_ = nullptr;  // the cursor the wait cursor replaced
    bool busy_ = false;
};

}  // namespace volane::win32
