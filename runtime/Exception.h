// The program's exception base. Controls derive their own error classes from it; whatever
// reaches the message loop is shown in the application's error box with message(). A failed
// Windows call throws ESystemError (runtime/SystemError.h), which keeps GetLastError().
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace quennet {

class Exception : public std::exception {
  public:
    explicit Exception(std::string message) : message_(std::move(message)) {}

    const std::string& message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};

// The text the error box shows for any exception a handler lets escape.
std::string ExceptionMessage(const std::exception_ptr& error);

} // namespace quennet
