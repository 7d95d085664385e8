// The run-time's exception family. Every error the system raises derives
// from rtl::Exception and carries its message as UTF-8 text.
#pragma once

#include <exception>
#include <string>

namespace rtl {

class Exception : public std::exception {
public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char *what() const noexcept override { return message_.c_str(); }
  const std::string &Message() const noexcept { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }

private:
  std::string message_;
};

// A text that is not a number of the expected kind.
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

// A file could not be read or written.
class EInOutError : public Exception {
public:
  using Exception::Exception;
};

// Base of the floating-point faults.
class EMathError : public Exception {
public:
  using Exception::Exception;
};

class EZeroDivide : public EMathError {
public:
  EZeroDivide() : EMathError("Floating point division by zero") {}
};

class EInvalidOp : public EMathError {
public:
  EInvalidOp() : EMathError("Invalid floating point operation") {}
};

class EOverflow : public EMathError {
public:
  EOverflow() : EMathError("Floating point overflow") {}
};

// Integer division or modulo by zero.
class EDivByZero : public Exception {
public:
  EDivByZero() : Exception("Division by zero") {}
};

// A piece the platform cannot provide, raised instead of pretending.
class ENotImplemented : public Exception {
public:
  explicit ENotImplemented(const std::string &what) : Exception(what + " is not implemented") {}
};

} // namespace rtl
