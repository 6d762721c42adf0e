// SPDX-License-Identifier: MIT
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>

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

// What a user reads of each failure, in one place so that every front end words it alike:
// the window's sentence, shown after "Error " when a failure ends the program, and the
// batch's phrase, written after the name of the column that failed ("D: division by zero").
struct FailureWords {
  std::string_view sentence;
  std::string_view phrase;
};

// The words of `number`: an exhaustive switch, so a kind added without its words does not
// compile. A number that is no kind (one cast from elsewhere) is an "Unknown error".
FailureWords wordsOf(ErrorNumber number);

// The window's sentence.
std::string describe(ErrorNumber number);

// A failed statement. Thrown by the services and the formulas, caught by the
// statement-level recovery of the procedure that ran the statement. It holds no string:
// a batch of failing rows makes millions of them, and only the eleventh of a procedure
// is ever described.
class Failure : public std::exception {
 public:
  explicit Failure(ErrorNumber number) : number_(number) {}

  ErrorNumber number() const { return number_; }
  std::string description() const { return describe(number_); }
  const char* what() const noexcept override;

 private:
  ErrorNumber number_;
};

// A value, or the failure that prevented it. The formulas and conversions return one where
// a failure is an everyday outcome: unwinding an exception costs about a microsecond and a
// half, five times in a row whose duty cycle is negative. A statement that returns an
// Outcome fails exactly as one that throws (see Recovery).
template <typename T>
class [[nodiscard]] Outcome {
 public:
  Outcome(T value) : value_(value) {}                  // NOLINT: implicit by design
  Outcome(ErrorNumber failure) : failure_(failure) {}  // NOLINT: implicit by design
  explicit operator bool() const { return !failure_; }
  const T& operator*() const { return value_; }
  ErrorNumber failure() const { return *failure_; }
  // The value, or the failure thrown, for callers that take failures as exceptions.
  T valueOrThrow() const {
    if (failure_) {
      throw Failure(*failure_);
    }
    return value_;
  }

 private:
  T value_{};
  std::optional<ErrorNumber> failure_;
};

// What a statement that cannot fail in any other way returns: nothing, or its failure.
struct Done {};
using Status = Outcome<Done>;
inline constexpr Done kDone{};

// Thrown once the program has been told to end: it unwinds every procedure on the
// stack without running another statement. The outermost event handler catches it,
// so it never reaches the window engine.
struct ProgramEnded {};

}  // namespace rms
