// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

#include "runtime/failure.h"

namespace rms {

// Square root of a double. Throws Failure SqrtOfNegative for an argument below zero;
// NaN gives NaN and -0 gives -0, without failure.
double Sqrt(double x);

// Double arithmetic with an emulated floating-point status. Each operation records the
// IEEE exceptions it raises (invalid operation, division by zero, overflow; underflow
// and inexact are ignored), and check() raises the first one recorded as a Failure, in
// that order, then clears the status. Flags of operations between two checks are
// caught by the next check. Quiet NaN operands raise nothing.
//
// The status is kept by hand rather than read from <cfenv>: the optimizer may move or
// merge operations across fetestexcept(), and the results must not depend on that.
//
// checkpoint() and sqrt() are the same checks without an exception: the first failure
// they find is kept (failure()) and later ones are ignored, so a computation that goes on
// after it reports exactly the failure that check() and Sqrt() would have thrown. The
// values it computes after that point mean nothing.
class CheckedArithmetic {
 public:
  double add(double a, double b);
  double sub(double a, double b);
  double mul(double a, double b);
  double div(double a, double b);
  // a raised to 2, correctly rounded.
  double square(double a);
  // Rounds to single precision, as a store into a single does.
  float toSingle(double a);

  void check();
  void checkpoint() {
    if (invalid_ || divisionByZero_ || overflow_) {
      recordStatus();  // rare: kept out of line
    }
  }
  double sqrt(double x);
  const std::optional<ErrorNumber>& failure() const { return failure_; }

 private:
  std::optional<ErrorNumber> takeStatus();
  void recordStatus();

  void note(double a, double b, double result, bool isDivision);

  bool invalid_ = false;
  bool divisionByZero_ = false;
  bool overflow_ = false;
  std::optional<ErrorNumber> failure_;
};

}  // namespace rms
