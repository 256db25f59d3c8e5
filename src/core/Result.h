#pragma once

#include <utility>
#include <variant>

namespace tavelin {

// A value or the error that prevented it: failures travel up with their cause instead of being
// folded into an empty value or a flag.
template <typename T, typename E>
class Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(E error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    const E& error() const { return std::get<1>(state_); }

    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }

private:
    std::variant<T, E> state_;
};

}  // namespace tavelin
