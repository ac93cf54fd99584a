// The conversion of a registry value's data to KeyVal, for any type and any bytes, directly and
// through GetKeyValue with a registry that serves the same value.
// Input: the type on the first line (decimal, or else up to four raw bytes, low byte first),
// the value's data after it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "forms/frmAbout.h"

namespace {

constexpr long kMoreData = 234;  // ERROR_MORE_DATA

std::uint32_t ParseType(std::string_view line) {
    bool decimal = !line.empty() && line.size() <= 10;
    std::uint64_t number = 0;
    for (char c : line) {
        if (c < '0' || c > '9') decimal = false;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (decimal) return static_cast<std::uint32_t>(number);
    std::uint32_t raw = 0;
    for (std::size_t i = 0; i < line.size() && i < 4; ++i)
        raw |= static_cast<std::uint32_t>(static_cast<unsigned char>(line[i])) << (8 * i);
    return raw;
}

// The data text: the bytes less one terminating NUL.
std::string DataText(std::string_view bytes) {
    std::string text(bytes);
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

// "&h", what KeyVal held, then each byte from the last to the first in hexadecimal.
std::string ExpectedDword(const std::string& before, std::string_view bytes) {
    std::string expected = "&h" + before;
    const std::string text = DataText(bytes);
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned char>(*it));
        expected += hex;
    }
    return expected;
}

// What a conversion of these bytes must leave in KeyVal, given what it held before.
std::string ExpectedKeyVal(std::uint32_t type, std::string_view bytes, const std::string& before) {
    if (bytes.empty()) return before;
    if (type == volane::kRegSz) return DataText(bytes);
    if (type == volane::kRegDword) return ExpectedDword(before, bytes);
    return before;
}

void CheckConversion(std::uint32_t type, std::string_view bytes, const std::string& before) {
    // An exactly sized copy, so that a read past the data is caught by the address checker.
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes.size()]);
    if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
    std::string keyVal = before;
    const bool converted = volane::ConvertValueData(
        type, copy.get(), static_cast<std::uint32_t>(bytes.size()), keyVal);
    FUZZ_CHECK(converted == !bytes.empty());
    FUZZ_CHECK(keyVal == ExpectedKeyVal(type, bytes, before));
    if (type == volane::kRegSz && converted) {
        // At most one NUL goes, and only from the end.
        FUZZ_CHECK(bytes.size() - keyVal.size() <= 1);
        FUZZ_CHECK(bytes.compare(0, keyVal.size(), keyVal) == 0);
    }
}

// Serves one value under one key and counts the closes.
class OneValueRegistry final : public volane::IRegistry {
  public:
    OneValueRegistry(std::uint32_t type, std::string_view bytes) : type_(type), bytes_(bytes) {}

    long Open(Key, const std::string&, Key* key) override {
        *key = kOpenKey;
        return 0;
    }
    long Query(Key key, const std::string&, std::uint32_t* type, std::uint8_t* data,
               std::uint32_t* size) override {
        FUZZ_CHECK(key == kOpenKey);
        FUZZ_CHECK(*size == volane::kValueBufferSize);
        if (bytes_.size() > *size) {
            *size = static_cast<std::uint32_t>(bytes_.size());
            return kMoreData;
        }
        *type = type_;
        if (!bytes_.empty()) std::memcpy(data, bytes_.data(), bytes_.size());
        *size = static_cast<std::uint32_t>(bytes_.size());
        return 0;
    }
    void Close(Key key) override {
        FUZZ_CHECK(key == kOpenKey);
        ++closes;
    }

    int closes = 0;

  private:
    static constexpr Key kOpenKey = 0x1234;
    std::uint32_t type_;
    std::string_view bytes_;
};

void CheckLookUp(std::uint32_t type, std::string_view bytes, const std::string& before) {
    OneValueRegistry registry(type, bytes);
    std::string keyVal = before;
    bool read = false;
    bool failed = false;
    try {
        read = volane::GetKeyValue(registry, volane::IRegistry::kLocalMachine, "SOFTWARE\\Key",
                                   "Value", keyVal);
    } catch (const volane::AppError&) {
        failed = true;
    }
    FUZZ_CHECK(registry.closes == 1);
    if (bytes.empty()) {
        // A value with no data at all is a failure for the caller, not a "not found".
        FUZZ_CHECK(failed);
        FUZZ_CHECK(keyVal == before);
    } else if (bytes.size() > volane::kValueBufferSize) {
        FUZZ_CHECK(!failed && !read && keyVal.empty());
    } else {
        FUZZ_CHECK(!failed && read);
        FUZZ_CHECK(keyVal == ExpectedKeyVal(type, bytes, before));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto [typeLine, bytes] = volane::fuzz::SplitFirstLine(volane::fuzz::AsBytes(data, size));
    const std::uint32_t type = ParseType(typeLine);

    // What KeyVal holds on entry matters for every type but text; try empty and a left-over path.
    for (const std::string& before : {std::string(), std::string("C:\\Tools\\MSINFO")}) {
        if (bytes.size() <= volane::kValueBufferSize) CheckConversion(type, bytes, before);
        CheckLookUp(type, bytes, before);
    }
    return 0;
}
