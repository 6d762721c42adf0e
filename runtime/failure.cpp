// SPDX-License-Identifier: MIT
#include "runtime/failure.h"

namespace rms {
namespace {

const char* words(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::SqrtOfNegative:
      return "Square root of a negative number";
    case ErrorNumber::Overflow:
      return "Overflow: a number is too large";
    case ErrorNumber::OutOfMemory:
      return "Out of memory";
    case ErrorNumber::DivisionByZero:
      return "Division by zero";
    case ErrorNumber::NotANumber:
      return "Not a number";
    case ErrorNumber::InvalidOperation:
      return "Undefined result (such as zero divided by zero)";
  }
  return "Unknown error";
}

}  // namespace

std::string describe(ErrorNumber number) {
  return words(number);
}

const char* Failure::what() const noexcept {
  return words(number_);
}

}  // namespace rms
