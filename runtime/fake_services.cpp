#include "runtime/fake_services.h"

#include <string_view>

namespace rms {
namespace {
size_t slot(TextBox box) {
  return static_cast<size_t>(box);
}
constexpr std::string_view kMessagePrefix = "message:";
}  // namespace

// The initial texts of the window's input boxes; the result boxes start empty.
FakeServices::FakeServices() {
  texts_[slot(TextBox::t)] = "0.5";
  texts_[slot(TextBox::P)] = "1";
  texts_[slot(TextBox::Ip)] = "1";
  texts_[slot(TextBox::Ia)] = ".5";
  texts_[slot(TextBox::Ib)] = "1";
}

std::string FakeServices::text(TextBox box) const {
  return texts_[slot(box)];
}

void FakeServices::setText(TextBox box, std::string_view text) {
  texts_[slot(box)] = text;
  log_.push_back(std::string(boxName(box)) + "=" + std::string(text));
}

void FakeServices::showMessage(std::string_view prompt, MessageStyle style,
                               std::string_view title) {
  log_.push_back(std::string(kMessagePrefix) + std::string(title) + "|" +
                 std::to_string(static_cast<int>(style)) + "|" + std::string(prompt));
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
