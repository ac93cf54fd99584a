#include "platform/win32/Services.h"

namespace volane::win32 {
namespace {

// The predefined roots are 32-bit values with the top bit set (HKEY_LOCAL_MACHINE is
// 0x80000002); as 64-bit handles they are sign-extended, so a root given zero-extended is
// widened the same way. Real key handles are small and pass unchanged.
HKEY ToHkey(IRegistry::Key key) {
    if (key <= 0xFFFFFFFFu && (key & 0x80000000u)) {
        const auto widened = static_cast<std::intptr_t>(static_cast<std::int32_t>(key));
        return reinterpret_cast<HKEY>(widened);
    }
    return reinterpret_cast<HKEY>(key);
}

}  // namespace

long Registry::Open(Key root, const std::string& subKey, Key* key) {
    // Reading only: a standard user may read the keys that System Information is found under
    // but not write them.
    HKEY opened = nullptr;
    const LONG result = ::RegOpenKeyExA(ToHkey(root), subKey.c_str(), 0, KEY_READ, &opened);
    *key = result == ERROR_SUCCESS ? reinterpret_cast<Key>(opened) : 0;
    return result;
}

long Registry::Query(Key key, const std::string& value, std::uint32_t* type, std::uint8_t* data,
                     std::uint32_t* size) {
    DWORD valueType = REG_NONE;
    DWORD bytes = *size;
    const LONG result =
        ::RegQueryValueExA(ToHkey(key), value.c_str(), nullptr, &valueType, data, &bytes);
    *type = valueType;
    *size = bytes;
    return result;
}

void Registry::Close(Key key) {
    if (key != 0) ::RegCloseKey(ToHkey(key));
}

}  // namespace volane::win32
