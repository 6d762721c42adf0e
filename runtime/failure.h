// SPDX-License-Identifier: MIT
#pragma once

#include <exception>
#include <string>

namespace rms {

// The error numbers the program can report. Only NotANumber is looked at by the
// calculator logic; the others exist so that every failure carries a number and a
// description that makes sense to a user.
enum class ErrorNumber : int {
  SqrtOfNegative = 5,
  Overflow = 6,
  OutOfMemory = 7,
  DivisionByZero = 11,
  NotANumber = 13,
  InvalidOperation = 16,
};

// Plain words, shown after "Error " when a failure ends the program.
std::string describe(ErrorNumber number);

// A failed statement. Thrown by the services and the formulas, caught by the
// statement-level recovery of the procedure that ran the statement.
class Failure : public std::exception {
 public:
  explicit Failure(ErrorNumber number) : number_(number), description_(describe(number)) {}

  ErrorNumber number() const { return number_; }
  const std::string& description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  ErrorNumber number_;
  std::string description_;
};

// Thrown once the program has been told to end: it unwinds every procedure on the
// stack without running another statement. The outermost event handler catches it,
// so it never reaches the window engine.
struct ProgramEnded {};

}  // namespace rms
