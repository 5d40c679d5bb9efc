#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace Orlavo::Services {

// Why an operation did not complete: Italian text for the operator, and the
// step and driver text that go to the error report and CONT.LOG.
struct Failure {
    QString message;
    QString detail;
};

// A value or a failure; stores and the data-access layer return these.
template <typename T> class [[nodiscard]] Outcome
{
public:
    Outcome(T value) : m_state(std::move(value)) {}
    Outcome(Failure failure) : m_state(std::move(failure)) {}

    explicit operator bool() const { return std::holds_alternative<T>(m_state); }
    bool ok() const { return bool(*this); }
    T &value() { return std::get<T>(m_state); }
    const T &value() const { return std::get<T>(m_state); }
    T &operator*() { return value(); }
    const T &operator*() const { return value(); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }
    const Failure &failure() const { return std::get<Failure>(m_state); }

private:
    std::variant<T, Failure> m_state;
};

template <> class [[nodiscard]] Outcome<void>
{
public:
    Outcome() = default;
    Outcome(Failure failure) : m_failure(std::move(failure)) {}

    explicit operator bool() const { return !m_failure.has_value(); }
    bool ok() const { return bool(*this); }
    const Failure &failure() const { return *m_failure; }

private:
    std::optional<Failure> m_failure;
};

} // namespace Orlavo::Services
