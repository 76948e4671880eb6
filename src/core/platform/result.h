#pragma once

#include <string>
#include <utility>
#include <variant>

namespace renomiq {

// Why a call failed where the OS error number does not tell: the program's
// own refusals.
enum class Fault {
    None, // the OS error number tells, when there is one
    NewNameHoldsSeparator,
    NewNameHoldsControlCharacter,
};

// The failure of an I/O call: the OS error number (0 when none applies), the
// program's own reason, and a message.
struct Error {
    int code = 0;
    std::string message;
    Fault fault = Fault::None;
};

// A value or the error that prevented it. I/O never throws through callers.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_data(std::move(value)) {}
    Result(Error error) : m_data(std::move(error)) {}

    bool ok() const { return m_data.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return std::get<0>(m_data); }
    T &value() & { return std::get<0>(m_data); }
    T &&value() && { return std::get<0>(std::move(m_data)); }
    const T &operator*() const & { return value(); }
    const T *operator->() const { return &value(); }

    const Error &error() const { return std::get<1>(m_data); }

private:
    std::variant<T, Error> m_data;
};

// The outcome of an I/O call that yields nothing but success or failure.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : m_ok(false), m_error(std::move(error)) {}

    static Status success() { return {}; }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const Error &error() const { return m_error; }

private:
    bool m_ok = true;
    Error m_error;
};

// An Error from errno with the failed action and path in its message.
Error errnoError(int code, const std::string &action, const std::string &path);

// The reason alone, without the action and path of the message ("File name
// too long"), for a window that shows those apart: from the fault or the OS
// error number; the message when neither tells.
std::string reasonOf(const Error &error);

} // namespace renomiq
