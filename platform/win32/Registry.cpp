#include "platform/win32/ErrorText.h"
#include "platform/win32/LateBound.h"
#include "platform/win32/Services.h"

namespace volane::win32 {
namespace {

// Only the About box reads the registry: ADVAPI32 comes in on its first read.
struct RegistryCalls {
    decltype(&::RegOpenKeyExA) open = LateBound<decltype(open)>(L"advapi32.dll", "RegOpenKeyExA");
    decltype(&::RegQueryValueExA) query =
        LateBound<decltype(query)>(L"advapi32.dll", "RegQueryValueExA");
    decltype(&::RegCloseKey) close = LateBound<decltype(close)>(L"advapi32.dll", "RegCloseKey");
};

const RegistryCalls& Calls() {
    static const RegistryCalls calls;
    return calls;
}

HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
    }
    return nullptr;
}

class RegistryKey final : public IRegistryKey {
  public:
    explicit RegistryKey(HKEY key) : key_(key) {}
    ~RegistryKey() override { Calls().close(key_); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    Result<ValueRead> Query(const std::string& value, std::span<std::uint8_t> buffer) override {
        DWORD type = REG_NONE;
        auto bytes = static_cast<DWORD>(buffer.size());
        const LONG result =
            Calls().query(key_, value.c_str(), nullptr, &type, buffer.data(), &bytes);
        if (result != ERROR_SUCCESS) return SystemError(static_cast<DWORD>(result));
        return ValueRead{type, bytes};
    }

  private:
    HKEY key_;
};

}  // namespace

Result<std::unique_ptr<IRegistryKey>> Registry::Open(RegistryRoot root, const std::string& subKey) {
    const RegistryCalls& calls = Calls();
    if (!calls.open || !calls.query || !calls.close) return SystemError(ERROR_MOD_NOT_FOUND);
    const OpenCall open = open_ ? open_ : calls.open;
    // Reading only: a standard user may read the keys that System Information is found under
    // but not write them.
    HKEY opened = nullptr;
    const LONG result = open(RootKey(root), subKey.c_str(), 0, KEY_READ, &opened);
    if (result != ERROR_SUCCESS) return SystemError(static_cast<DWORD>(result));
    return std::unique_ptr<IRegistryKey>(std::make_unique<RegistryKey>(opened));
}

}  // namespace volane::win32
