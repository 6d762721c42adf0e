// SPDX-License-Identifier: MIT
#include "runtime/checked_math.h"

#include <cmath>

#include "runtime/failure.h"

namespace rms {

double Sqrt(double x) {
  CheckedArithmetic fp;
  const double root = fp.sqrt(x);
  if (fp.failure()) {
    throw Failure(*fp.failure());
  }
  return root;
}

void CheckedArithmetic::note(double a, double b, double result, bool isDivision) {
  if (std::isnan(a) || std::isnan(b)) {
    return;
  }
  if (std::isnan(result)) {
    invalid_ = true;  // inf - inf, 0 * inf, 0 / 0, inf / inf
  } else if (isDivision && b == 0.0 && std::isfinite(a)) {
    divisionByZero_ = true;  // finite non-zero over zero; 0 / 0 was invalid above
  } else if (std::isinf(result) && std::isfinite(a) && std::isfinite(b)) {
    overflow_ = true;
  }
}

double CheckedArithmetic::add(double a, double b) {
  const double r = a + b;
  note(a, b, r, false);
  return r;
}

double CheckedArithmetic::sub(double a, double b) {
  const double r = a - b;
  note(a, b, r, false);
  return r;
}

double CheckedArithmetic::mul(double a, double b) {
  const double r = a * b;
  note(a, b, r, false);
  return r;
}

double CheckedArithmetic::div(double a, double b) {
  const double r = a / b;
  note(a, b, r, true);
  return r;
}

double CheckedArithmetic::square(double a) {
  return mul(a, a);
}

float CheckedArithmetic::toSingle(double a) {
  const float r = static_cast<float>(a);
  if (std::isinf(r) && std::isfinite(a)) {
    overflow_ = true;
  }
  return r;
}

std::optional<ErrorNumber> CheckedArithmetic::takeStatus() {
  const bool invalid = invalid_;
  const bool divisionByZero = divisionByZero_;
  const bool overflow = overflow_;
  invalid_ = divisionByZero_ = overflow_ = false;
  if (invalid) {
    return ErrorNumber::InvalidOperation;
  }
  if (divisionByZero) {
    return ErrorNumber::DivisionByZero;
  }
  if (overflow) {
    return ErrorNumber::Overflow;
  }
  return std::nullopt;
}

void CheckedArithmetic::check() {
  if (const auto failure = takeStatus()) {
    throw Failure(*failure);
  }
}

void CheckedArithmetic::recordStatus() {
  const auto failure = takeStatus();
  if (!failure_) {
    failure_ = failure;
  }
}

double CheckedArithmetic::sqrt(double x) {
  if (x < 0.0 && !failure_) {
    failure_ = ErrorNumber::SqrtOfNegative;
  }
  return std::sqrt(x);
}

}  // namespace rms
