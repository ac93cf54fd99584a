// Registry on keys the test writes itself under HKLM and HKCU, removed at the end.
#include <vector>

#include "platform/win32/Services.h"
#include "tests/win32/ServiceFixtures.h"

namespace volane::test {
namespace {

using Key = IRegistry::Key;

constexpr char kTestRoot[] = "SOFTWARE\\VolaneTest";

struct Value {
    const char* name;
    DWORD type;
    std::string data;
};

std::vector<Value> TestValues() {
    auto bytes = [](std::size_t n) {
        std::string s(n, '\0');
        for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 26);
        return s;
    };
    return {
        {"sz_with_nul", REG_SZ, std::string("C:\\x\\msinfo32.exe", 17) + '\0'},
        {"sz_without_nul", REG_SZ, "C:\\x\\msinfo32.exe"},
        {"sz_1023", REG_SZ, bytes(1023)},
        {"sz_1024", REG_SZ, bytes(1023) + '\0'},
        {"sz_1025", REG_SZ, bytes(1024) + '\0'},
        {"dword", REG_DWORD, std::string("\x78\x56\x34\x12", 4)},
        {"bin_0", REG_BINARY, ""},
        {"bin_1", REG_BINARY, "\x7F"},
        {"bin_1023", REG_BINARY, bytes(1023)},
        {"bin_1024", REG_BINARY, bytes(1024)},
        {"bin_1025", REG_BINARY, bytes(1025)},
    };
}

// Writes the values under a key of its own below the root, and removes that key again.
class TestKey {
  public:
    TestKey(HKEY root, const std::string& path) : root_(root), path_(path) {
        HKEY key = nullptr;
        ok_ = ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                nullptr) == ERROR_SUCCESS;
        if (!ok_) return;
        for (const Value& v : TestValues())
            ok_ = ok_ && ::RegSetValueExA(key, v.name, 0, v.type,
                                          reinterpret_cast<const BYTE*>(v.data.data()),
                                          static_cast<DWORD>(v.data.size())) == ERROR_SUCCESS;
        ::RegCloseKey(key);
    }
    ~TestKey() {
        ::RegDeleteTreeA(root_, path_.c_str());
        ::RegDeleteKeyA(root_, kTestRoot);  // only when no other run still uses it
    }
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;
    bool Ok() const { return ok_; }

  private:
    HKEY root_;
    std::string path_;
    bool ok_ = false;
};

std::string TestKeyPath() {
    return std::string(kTestRoot) + "\\registry-" + std::to_string(::GetCurrentProcessId());
}

class RegistryTest : public ::testing::TestWithParam<Key> {
  protected:
    static HKEY RootHandle(Key root) {
        return root == IRegistry::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    }
    win32::Registry registry;
};

TEST_P(RegistryTest, ValuesReadBackWithTheirTypesSizesAndResults) {
    const Key root = GetParam();
    TestKey written(RootHandle(root), TestKeyPath());
    ASSERT_TRUE(written.Ok());

    Key key = 0;
    ASSERT_EQ(registry.Open(root, TestKeyPath(), &key), ERROR_SUCCESS);
    ASSERT_NE(key, 0u);
    for (const Value& v : TestValues()) {
        std::uint8_t buffer[1024] = {};
        std::uint32_t type = 0xFFFF;
        std::uint32_t size = sizeof(buffer);
        const long result = registry.Query(key, v.name, &type, buffer, &size);
        // Wine's narrow query adds the terminating zero that a text stored without one lacks.
        const bool unterminated = v.type == REG_SZ && (v.data.empty() || v.data.back() != '\0');
        const std::size_t expected = v.data.size() + (unterminated && UnderWine() ? 1 : 0);
        if (expected > sizeof(buffer)) {
            EXPECT_EQ(result, ERROR_MORE_DATA) << v.name;
            EXPECT_EQ(size, expected) << v.name;
            continue;
        }
        EXPECT_EQ(result, ERROR_SUCCESS) << v.name;
        EXPECT_EQ(type, v.type) << v.name;
        EXPECT_EQ(size, expected) << v.name;
        EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size),
                  v.data + std::string(expected - v.data.size(), '\0'))
            << v.name;
    }
    std::uint32_t type = 0;
    std::uint32_t size = 1024;
    std::uint8_t buffer[1024] = {};
    EXPECT_EQ(registry.Query(key, "missing", &type, buffer, &size), ERROR_FILE_NOT_FOUND);
    registry.Close(key);
}

TEST_P(RegistryTest, MissingKeyFailsAndLeavesNoHandle) {
    Key key = 12345;
    EXPECT_EQ(registry.Open(GetParam(), TestKeyPath() + "\\missing", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, 0u);
    registry.Close(key);  // does nothing
}

INSTANTIATE_TEST_SUITE_P(Roots, RegistryTest,
                         ::testing::Values(IRegistry::kLocalMachine, Key{0x80000001}),
                         [](const auto& info) {
                             return info.param == IRegistry::kLocalMachine ? "HKLM" : "HKCU";
                         });

TEST(RegistryRootTest, SignExtendedRootWorksToo) {
    // The same root as the system's own 64-bit HKEY_LOCAL_MACHINE value.
    TestKey written(HKEY_LOCAL_MACHINE, TestKeyPath());
    ASSERT_TRUE(written.Ok());
    win32::Registry registry;
    Key key = 0;
    ASSERT_EQ(registry.Open(reinterpret_cast<Key>(HKEY_LOCAL_MACHINE), TestKeyPath(), &key),
              ERROR_SUCCESS);
    std::uint8_t buffer[1024] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof(buffer);
    EXPECT_EQ(registry.Query(key, "dword", &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<std::uint32_t>(REG_DWORD));
    registry.Close(key);
}

TEST(RegistryRootTest, OpensForReadingOnly) {
    TestKey written(HKEY_CURRENT_USER, TestKeyPath());
    ASSERT_TRUE(written.Ok());
    win32::Registry registry;
    Key key = 0;
    ASSERT_EQ(registry.Open(Key{0x80000001}, TestKeyPath(), &key), ERROR_SUCCESS);
    const DWORD one = 1;
    EXPECT_EQ(::RegSetValueExA(reinterpret_cast<HKEY>(key), "write", 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&one), sizeof(one)),
              ERROR_ACCESS_DENIED);
    registry.Close(key);
}

}  // namespace
}  // namespace volane::test
