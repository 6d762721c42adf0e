// SPDX-License-Identifier: MIT
#pragma once

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

 private:
  void note(double a, double b, double result, bool isDivision);

  bool invalid_ = false;
  bool divisionByZero_ = false;
  bool overflow_ = false;
};

}  // namespace rms
