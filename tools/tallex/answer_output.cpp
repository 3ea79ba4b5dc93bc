#include "answer_output.h"

#include <charconv>

namespace tallex {
namespace {

constexpr std::size_t kFlushSize = 1 << 20;

}  // namespace

void AnswerOutput::flushIfFull() {
  if (file_ && buffer_.size() >= kFlushSize) {
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    buffer_.clear();
  }
}

void AnswerOutput::put(std::string_view text) {
  buffer_.append(text.data(), text.size());
  flushIfFull();
}

void AnswerOutput::number(double value) {
  char digits[32];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  buffer_.append(digits, result.ptr);
  flushIfFull();
}

void AnswerOutput::integer(std::int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  buffer_.append(digits, result.ptr);
  flushIfFull();
}

bool AnswerOutput::finish() {
  if (file_) {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    buffer_.clear();
    if (std::fflush(file_) != 0) failed_ = true;
  }
  return !failed_;
}

std::string formatNumber(double value) {
  char digits[32];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  return std::string(digits, result.ptr);
}

}  // namespace tallex
