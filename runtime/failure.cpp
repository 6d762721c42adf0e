// SPDX-License-Identifier: MIT
#include "runtime/failure.h"

namespace rms {

const FailureWords& wordsOf(ErrorNumber number) {
  for (const FailureWords& words : kFailureWords) {
    if (words.number == number) {
      return words;
    }
  }
  // A number without a row (one added to the enum alone, or one cast from elsewhere) must
  // not borrow another failure's words.
  static constexpr FailureWords kUnknown{ErrorNumber{}, "Unknown error", "failed"};
  return kUnknown;
}

std::string describe(ErrorNumber number) {
  return std::string(wordsOf(number).sentence);
}

const char* Failure::what() const noexcept {
  return wordsOf(number_).sentence.data();  // a literal, so its end is a NUL
}

}  // namespace rms
