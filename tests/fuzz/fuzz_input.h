// FuzzInput: reads a fuzz input as a stream of small decisions. Running off the end
// yields zeros, so every input, however short, decodes to something.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz_support {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Done() const { return pos_ >= size_; }
  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // A text of up to 255 bytes, its length given by the byte before it. The bytes
  // are taken as they come, NULs included; callers that pass the text on as a C
  // text see it end at its first NUL.
  std::string Bytes() {
    const std::size_t n = Byte();
    return Take(n);
  }
  // The rest of the input.
  std::string Rest() { return Take(size_ - pos_); }

 private:
  std::string Take(std::size_t n) {
    if (n > size_ - pos_) n = size_ - pos_;
    std::string out(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return out;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace fuzz_support
