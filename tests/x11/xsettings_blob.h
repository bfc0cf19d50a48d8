#pragma once

#include <cstdint>
#include <string>

namespace morel_test {

// Builds an XSETTINGS blob in either byte order.
class XSettingsBlob {
 public:
  explicit XSettingsBlob(bool bigEndian) : bigEndian_(bigEndian) {
    data_.push_back(bigEndian ? 1 : 0);
    data_.append(3, '\0');
    U32(7);  // serial
    U32(0);  // number of settings, patched by Add*
  }
  XSettingsBlob& AddInteger(const std::string& name, int32_t value) {
    Header(0, name);
    U32(static_cast<uint32_t>(value));
    return Count();
  }
  XSettingsBlob& AddString(const std::string& name, const std::string& value) {
    Header(1, name);
    U32(static_cast<uint32_t>(value.size()));
    data_ += value;
    data_.append((4 - value.size() % 4) % 4, '\0');
    return Count();
  }
  XSettingsBlob& AddColor(const std::string& name) {
    Header(2, name);
    data_.append(8, '\x7f');
    return Count();
  }
  const std::string& data() const { return data_; }

 private:
  void U(uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
      const int shift = 8 * (bigEndian_ ? size - 1 - i : i);
      data_.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
  }
  void U32(uint32_t value) { U(value, 4); }
  void Header(int type, const std::string& name) {
    data_.push_back(static_cast<char>(type));
    data_.push_back('\0');
    U(static_cast<uint32_t>(name.size()), 2);
    data_ += name;
    data_.append((4 - name.size() % 4) % 4, '\0');
    U32(0);  // last-change serial
  }
  XSettingsBlob& Count() {
    ++count_;
    for (int i = 0; i < 4; ++i) {
      const int shift = 8 * (bigEndian_ ? 3 - i : i);
      data_[8 + i] = static_cast<char>((count_ >> shift) & 0xFF);
    }
    return *this;
  }

  bool bigEndian_;
  uint32_t count_ = 0;
  std::string data_;
};

}  // namespace morel_test
