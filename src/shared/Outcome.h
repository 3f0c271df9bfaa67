#pragma once
// How a failure travels between layers: a call that can fail returns an
// Outcome, holding either its value or the Failure the user will be shown.
// The layer that makes a system call turns its errno into text right there
// (systemFailure); a layer above may word the message anew around it and
// choose the box it is shown in. No errno is read outside the layer that set it.

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace errors {

struct Failure {
    std::string text;  // UTF-8: the system's reason, or the whole message once a caller words it
    int flags = 0;     // the message box's flag sum (mdlMessage); 0 is a plain OK box
    bool operator==(const Failure&) const = default;
};

// The system's description of an error number, as strerror gives it.
inline Failure systemFailure(int error) { return {std::strerror(error), 0}; }

// A value or a failure. Converts to true on success; value() and failure()
// throw when asked for what is not there.
template <typename T = void>
class Outcome {
public:
    Outcome(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Outcome(Failure failure) : m_state(std::in_place_index<1>, std::move(failure)) {}

    explicit operator bool() const { return m_state.index() == 0; }
    const T& value() const { return std::get<0>(m_state); }
    T& value() { return std::get<0>(m_state); }
    const T* operator->() const { return &value(); }
    const Failure& failure() const { return std::get<1>(m_state); }

private:
    std::variant<T, Failure> m_state;
};

// Success without a value.
template <>
class Outcome<void> {
public:
    Outcome() = default;
    Outcome(Failure failure) : m_failure(std::move(failure)) {}

    explicit operator bool() const { return !m_failure; }
    const Failure& failure() const { return m_failure.value(); }

private:
    std::optional<Failure> m_failure;
};

}  // namespace errors
