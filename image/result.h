// The result of an operation that can fail: its value, or the message that says why there is
// none. Libraries return it; only the user-interface code shows the message.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace morvane {

/// A value, or the message that says why there is none.
template <class T>
struct Result {
    std::optional<T> value;
    std::string error;

    static Result success(T v) { return Result{std::move(v), {}}; }
    static Result failure(std::string message) { return Result{std::nullopt, std::move(message)}; }
    bool ok() const { return value.has_value(); }
};

}  // namespace morvane
