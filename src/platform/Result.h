#pragma once
// Result<T>: either a value or the qp::Error that explains why there is none.
// Fallible calls return it instead of throwing.

#include <cassert>
#include <utility>
#include <variant>

#include "platform/Error.h"

namespace qp {

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value)
        : m_state(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit by design
    Result(Error error) : m_state(std::in_place_index<1>, std::move(error)) {}  // NOLINT

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & {
        assert(ok());
        return std::get<0>(m_state);
    }
    const T& value() const& {
        assert(ok());
        return std::get<0>(m_state);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(m_state));
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const {
        assert(!ok());
        return std::get<1>(m_state);
    }

    T valueOr(T fallback) const& { return ok() ? value() : std::move(fallback); }

private:
    std::variant<T, Error> m_state;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)), m_failed(true) {}  // NOLINT

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Error& error() const {
        assert(m_failed);
        return m_error;
    }

private:
    Error m_error;
    bool m_failed = false;
};

// Marks a result whose failure the caller has decided not to act on.
template <typename T>
inline void ignoreResult(const Result<T>&) {}

}  // namespace qp
