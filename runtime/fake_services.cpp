// SPDX-License-Identifier: MIT
#include "runtime/fake_services.h"

#include <string_view>
#include <utility>

namespace rms {
namespace {
size_t slot(TextBox box) {
  return static_cast<size_t>(box);
}
constexpr std::string_view kMessagePrefix = "message:";
}  // namespace

std::string FakeServices::text(TextBox box) const {
  return texts_[slot(box)];
}

void FakeServices::setText(TextBox box, std::string_view text) {
  texts_[slot(box)] = text;
  std::string entry(boxName(box));
  entry.append("=").append(text);
  log_.push_back(std::move(entry));
}

void FakeServices::showMessage(std::string_view prompt, MessageStyle style,
                               std::string_view title) {
  std::string entry(kMessagePrefix);
  entry.append(title).append("|").append(std::to_string(static_cast<int>(style)));
  entry.append("|").append(prompt);
  log_.push_back(std::move(entry));
  if (onMessage) {
    onMessage(*this);
  }
}

void FakeServices::endProgram() {
  ended_ = true;
  log_.push_back("end");
}

std::vector<std::string> FakeServices::messages() const {
  std::vector<std::string> result;
  for (const std::string& entry : log_) {
    if (entry.starts_with(kMessagePrefix)) {
      result.push_back(entry.substr(kMessagePrefix.size()));
    }
  }
  return result;
}

}  // namespace rms
