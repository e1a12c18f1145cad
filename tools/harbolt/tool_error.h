// How the command-line caller ends: its exit statuses, and the error that
// carries a message for the user up to main, which prints it and exits with
// its status.
#pragma once

#include <stdexcept>
#include <string>

namespace harbolt_cli {

// The call returned S_OK (or 0).
inline constexpr int kExitOk = 0;
// The add-in reported a failure with an error number and description, or the
// tool found a problem it could not get past (a missing file, ...).
inline constexpr int kExitFailed = 1;
// The add-in ended a call with an exception (0x80040200).
inline constexpr int kExitException = 2;
// The command line is wrong.
inline constexpr int kExitUsage = 64;

class ToolError : public std::runtime_error {
 public:
  // message: one or more lines for the user, without the program's prefix.
  explicit ToolError(const std::string& message, int status = kExitFailed)
      : std::runtime_error(message), status_(status) {}

  int status() const { return status_; }

 private:
  int status_;
};

// A ToolError with the usage status.
class UsageError : public ToolError {
 public:
  explicit UsageError(const std::string& message) : ToolError(message, kExitUsage) {}
};

}  // namespace harbolt_cli
