// What a call gives back when it may fail and its caller carries on: the value, or why there is
// none. Every such failure below the program's windows is reported this way, with the system's
// error number and its own text for it (Volane's own number and text where Volane finds the
// failure itself). A failure that nobody recovers from is thrown as AppError instead (Errors.h).
// Not failures: a question the system answers yes or no (does the folder exist) is a bool, a
// value that may simply not be there (the selected node, a key of the settings file) an
// std::optional, and an owner of a handle (Handles.h) is empty when the system made none.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace volane {

// Why a call failed.
struct Error {
    long number = 0;
    std::wstring text;
};

template <class T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(volane::Error error) : error_(std::move(error)) {}

    explicit operator bool() const { return value_.has_value(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // Why there is no value; only for a result that holds none.
    const volane::Error& Error() const { return error_; }

  private:
    std::optional<T> value_;
    volane::Error error_;
};

// A call that gives nothing back but its success.
template <>
class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(volane::Error error) : error_(std::move(error)) {}

    explicit operator bool() const { return !error_.has_value(); }
    const volane::Error& Error() const { return *error_; }

  private:
    std::optional<volane::Error> error_;
};

}  // namespace volane
