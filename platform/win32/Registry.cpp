#include "platform/win32/Services.h"

namespace volane::win32 {
namespace {

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

    long Query(const std::string& value, std::uint32_t* type, std::uint8_t* data,
               std::uint32_t* size) override {
        DWORD valueType = REG_NONE;
        DWORD bytes = *size;
        const LONG result =
            ::RegQueryValueExA(key_.get(), value.c_str(), nullptr, &valueType, data, &bytes);
        *type = valueType;
        *size = bytes;
        return result;
    }

  private:
    unique_hkey key_;
};

}  // namespace

std::unique_ptr<IRegistryKey> Registry::Open(RegistryRoot root, const std::string& subKey,
                                             long* result) {
    // Reading only: a standard user may read the keys that System Information is found under
    // but not write them.
    HKEY opened = nullptr;
    *result = ::RegOpenKeyExA(RootKey(root), subKey.c_str(), 0, KEY_READ, &opened);
    if (*result != ERROR_SUCCESS) return nullptr;
    return std::make_unique<RegistryKey>(opened);
}

}  // namespace volane::win32
