#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Reads a fuzzer's input front to back; past the end every byte reads as 0, so a target can
// take what it needs without checking the length first.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  bool Done() const { return at_ >= size_; }
  // Up to 23 raw bytes, invalid UTF-8 included.
  std::string Text() {
    const size_t n = Byte() % 24;
    std::string s;
    for (size_t i = 0; i < n && at_ < size_; ++i) s += static_cast<char>(data_[at_++]);
    return s;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};
