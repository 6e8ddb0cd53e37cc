#pragma once

#include "platform/oidc/OidcError.h"

#include <utility>
#include <variant>

namespace platform {

// A value or the OpenID Connect client's error.
template<typename T>
class OidcResult {
public:
    OidcResult(T value) : storage_(std::in_place_index<0>, std::move(value)) { }
    OidcResult(OidcError error) : storage_(std::in_place_index<1>, std::move(error)) { }

    bool isSuccess() const { return storage_.index() == 0; }
    explicit operator bool() const { return isSuccess(); }
    // Only on success.
    const T& value() const { return std::get<0>(storage_); }
    // Only on failure.
    const OidcError& error() const { return std::get<1>(storage_); }

private:
    std::variant<T, OidcError> storage_;
};

} // namespace platform
