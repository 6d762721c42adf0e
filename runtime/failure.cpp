// SPDX-License-Identifier: MIT
#include "runtime/failure.h"

namespace rms {

const FailureWords& wordsOf(ErrorNumber number) {
  for (const FailureWords& words : kFailureWords) {
    if (words.number == number) {
      return words;
    }
  }
  return kFailureWords.front();  // not reached: every number has its row (a test checks)
}

std::string describe(ErrorNumber number) {
  return std::string(wordsOf(number).sentence);
}

const char* Failure::what() const noexcept {
  return wordsOf(number_).sentence.data();  // a literal, so its end is a NUL
}

}  // namespace rms
