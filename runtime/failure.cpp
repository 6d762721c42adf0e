// SPDX-License-Identifier: MIT
#include "runtime/failure.h"

namespace rms {

FailureWords wordsOf(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::SqrtOfNegative:
      return {"Square root of a negative number", "square root of a negative number"};
    case ErrorNumber::Overflow:
      return {"Overflow: a number is too large", "too large"};
    case ErrorNumber::OutOfMemory:
      return {"Out of memory", "out of memory"};
    case ErrorNumber::DivisionByZero:
      return {"Division by zero", "division by zero"};
    case ErrorNumber::NotANumber:
      return {"Not a number", "not a number"};
    case ErrorNumber::InvalidOperation:
      return {"Undefined result (such as zero divided by zero)", "undefined result"};
  }
  return {"Unknown error", "failed"};
}

std::string describe(ErrorNumber number) {
  return std::string(wordsOf(number).sentence);
}

const char* Failure::what() const noexcept {
  return wordsOf(number_).sentence.data();  // a literal, so its end is a NUL
}

}  // namespace rms
