#include "desktop/x11/x11_xsettings.h"

#include "desktop/x11/x11_properties.h"

namespace morel_xy {
namespace {

// A bounded reader of the blob in the byte order it declares.
class Reader {
 public:
  Reader(const std::string& data, bool bigEndian) : data_(data), bigEndian_(bigEndian) {}

  bool Skip(size_t count) {
    if (data_.size() - at_ < count) return false;
    at_ += count;
    return true;
  }
  bool Read(uint32_t& value, size_t size) {
    if (data_.size() - at_ < size) return false;
    value = 0;
    for (size_t i = 0; i < size; ++i) {
      const uint32_t byte =
          static_cast<unsigned char>(data_[at_ + (bigEndian_ ? i : size - 1 - i)]);
      value = (value << 8) | byte;
    }
    at_ += size;
    return true;
  }
  bool ReadString(std::string& value, size_t size) {
    if (data_.size() - at_ < size) return false;
    value = data_.substr(at_, size);
    at_ += size;
    return true;
  }

 private:
  const std::string& data_;
  bool bigEndian_;
  size_t at_ = 0;
};

size_t Padded(size_t n) {
  return (n + 3) & ~size_t{3};
}

}  // namespace

std::optional<int32_t> FindXSettingsInteger(const std::string& blob, const std::string& name) {
  if (blob.size() < 12) return std::nullopt;
  Reader reader(blob, blob[0] != 0);
  uint32_t count = 0;
  if (!reader.Skip(4) || !reader.Skip(4) || !reader.Read(count, 4)) return std::nullopt;

  for (uint32_t i = 0; i < count; ++i) {
    uint32_t type = 0, nameLength = 0;
    std::string entryName;
    if (!reader.Read(type, 1) || !reader.Skip(1) || !reader.Read(nameLength, 2) ||
        !reader.ReadString(entryName, nameLength) ||
        !reader.Skip(Padded(nameLength) - nameLength) || !reader.Skip(4)) {  // last-change serial
      return std::nullopt;
    }
    switch (type) {
      case 0: {  // integer
        uint32_t value = 0;
        if (!reader.Read(value, 4)) return std::nullopt;
        if (entryName == name) return static_cast<int32_t>(value);
        break;
      }
      case 1: {  // string
        uint32_t length = 0;
        if (!reader.Read(length, 4) || !reader.Skip(Padded(length))) return std::nullopt;
        break;
      }
      case 2:  // colour: four 16-bit channels
        if (!reader.Skip(8)) return std::nullopt;
        break;
      default:
        return std::nullopt;
    }
  }
  return std::nullopt;
}

std::optional<int32_t> ReadXSettingsInteger(const X11Connection& x, const std::string& name) {
  const std::string selectionName = "_XSETTINGS_S" + std::to_string(x.screen());
  const Window owner = XGetSelectionOwner(x.display(), x.InternAtom(selectionName.c_str()));
  if (owner == None) return std::nullopt;
  // The owner may vanish between the two requests; the property read then fails and is trapped.
  const auto blob = GetBytes(x, owner, x.InternAtom("_XSETTINGS_SETTINGS"));
  if (!blob) return std::nullopt;
  return FindXSettingsInteger(blob->second, name);
}

}  // namespace morel_xy
