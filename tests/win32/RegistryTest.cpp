#include "forms/frmAbout.h"
#include "tests/win32/Fakes.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

TEST(RegistryTest, GetKeyValueOnTheRealRegistry) {
    const std::string path = "SOFTWARE\\VolaneTest" + std::to_string(::GetCurrentProcessId());
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key), ERROR_SUCCESS);
    const std::string exe = "C:\\Program Files\\msinfo32.exe", x(1025, 'x');
    // Value, written, its data, what is read ("-": nothing) with a 1024-byte buffer.
    const std::tuple<const char*, bool, std::string, std::string> cases[] = {
        {"sz without NUL", true, exe, exe},
        {"1024 bytes", true, x.substr(2) + '\0', x.substr(2)},
        {"1025 bytes", true, x.substr(1) + '\0', "-"},
        {"missing", false, "", "-"}};
    win32::Registry registry;
    for (const auto& [name, written, data, expected] : cases) {
        if (written) {
            ASSERT_EQ(
                ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size())),
                ERROR_SUCCESS);
        }
        std::string value;
        const Result<bool> read =
            GetKeyValue(registry, RegistryRoot::LocalMachine, path, name, value);
        EXPECT_TRUE(read) << name;
        EXPECT_EQ(read && *read ? value : value + "-", expected) << name;
    }
    std::string value;
    // No key is left open.
    const int handles = HandleCount();
    for (int i = 0; i < 3; ++i)
        static_cast<void>(GetKeyValue(registry, RegistryRoot::LocalMachine, path, "sz", value));
    EXPECT_EQ(HandleCount(), handles);
    // Opened for KEY_READ (0x20019) only: a standard user may not write there; Wine lets it pass.
    calls.clear();
    win32::Registry recorded(&RecordedRegOpen);
    EXPECT_TRUE(GetKeyValue(recorded, RegistryRoot::LocalMachine, path, "sz without NUL", value));
    EXPECT_EQ(calls, std::vector<std::wstring>{win32::Widen(path, CP_ACP) + L" 0 131097"});
    ::RegCloseKey(key);
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
}

}  // namespace
}  // namespace volane::test
