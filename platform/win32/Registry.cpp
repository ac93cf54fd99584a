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

    long Query(const std::string& value, std::uint32_t* type, std::uint8_t* data,
               std::uint32_t* size) override {
        DWORD valueType = REG_NONE;
        DWORD bytes = *size;
        const LONG result =
            Calls().query(key_, value.c_str(), nullptr, &valueType, data, &bytes);
        *type = valueType;
        *size = bytes;
        return result;
    }

  private:
    HKEY key_;
};

}  // namespace

std::unique_ptr<IRegistryKey> Registry::Open(RegistryRoot root, const std::string& subKey,
                                             long* result) {
    const RegistryCalls& calls = Calls();
    if (!calls.open || !calls.query || !calls.close) {
        *result = ERROR_MOD_NOT_FOUND;
        return nullptr;
    }
    // Reading only: a standard user may read the keys that System Information is found under
    // but not write them.
    HKEY opened = nullptr;
    *result = calls.open(RootKey(root), subKey.c_str(), 0, KEY_READ, &opened);
    if (*result != ERROR_SUCCESS) return nullptr;
    return std::make_unique<RegistryKey>(opened);
}

}  // namespace volane::win32
