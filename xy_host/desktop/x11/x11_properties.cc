#include "desktop/x11/x11_properties.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <utf8.h>

#include <iterator>

namespace morel_xy::x11 {
namespace {

// Everything a property holds: lengths are in 32-bit units and titles are short, so 1 MiB
// bounds what a hostile client can make us copy.
constexpr long kMaxLongs = 1 << 18;

std::string Latin1ToUtf8(const std::string& latin1) {
  std::string out;
  out.reserve(latin1.size());
  // Latin-1 bytes are the first 256 code points.
  for (unsigned char c : latin1) utf8::append(c, std::back_inserter(out));
  return out;
}

bool IsValidUtf8(const std::string& text) {
  return utf8::is_valid(text.begin(), text.end());
}

}  // namespace

std::optional<std::vector<unsigned long>> GetLongs(const X11Connection& x, Window window,
                                                   Atom property, Atom type) {
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(x.display(), window, property, 0, kMaxLongs, False, type,
                                        &actualType, &format, &count, &remaining, &data);
  if (status != Success) return std::nullopt;
  std::optional<std::vector<unsigned long>> values;
  if (data && actualType == type && format == 32) {
    // Xlib hands 32-bit items back as longs.
    const unsigned long* items = reinterpret_cast<const unsigned long*>(data);
    values.emplace(items, items + count);
  }
  if (data) XFree(data);
  return values;
}

std::optional<std::pair<Atom, std::string>> GetBytes(const X11Connection& x, Window window,
                                                     Atom property) {
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  const int status =
      XGetWindowProperty(x.display(), window, property, 0, kMaxLongs, False, AnyPropertyType,
                         &actualType, &format, &count, &remaining, &data);
  if (status != Success) return std::nullopt;
  std::optional<std::pair<Atom, std::string>> result;
  if (data && actualType != None && format == 8) {
    result.emplace(actualType, std::string(reinterpret_cast<const char*>(data), count));
  }
  if (data) XFree(data);
  return result;
}

std::optional<std::string> GetTitle(const X11Connection& x, Window window) {
  const Atom utf8 = x.InternAtom("UTF8_STRING");
  if (auto netName = GetBytes(x, window, x.InternAtom("_NET_WM_NAME"))) {
    if (netName->first == utf8) return IsValidUtf8(netName->second) ? netName->second : "";
  }
  auto name = GetBytes(x, window, XA_WM_NAME);
  if (!name) return std::nullopt;
  if (name->first == XA_STRING) return Latin1ToUtf8(name->second);
  if (name->first == utf8) return IsValidUtf8(name->second) ? name->second : "";
  // Compound text (or another encoding Xlib knows): let Xlib convert it.
  XTextProperty text{};
  text.value = reinterpret_cast<unsigned char*>(name->second.data());
  text.encoding = name->first;
  text.format = 8;
  text.nitems = name->second.size();
  char** list = nullptr;
  int listCount = 0;
  std::string converted;
  if (Xutf8TextPropertyToTextList(x.display(), &text, &list, &listCount) >= Success && list) {
    for (int i = 0; i < listCount; ++i) converted += list[i];
    XFreeStringList(list);
  }
  return IsValidUtf8(converted) ? converted : "";
}

std::optional<std::pair<std::string, std::string>> GetWmClass(const X11Connection& x,
                                                              Window window) {
  auto bytes = GetBytes(x, window, XA_WM_CLASS);
  if (!bytes) return std::nullopt;
  // Two NUL-terminated strings: the instance, then the class.
  const std::string& s = bytes->second;
  const size_t end = s.find('\0');
  if (end == std::string::npos) return std::make_pair(s, std::string());
  std::string klass = s.substr(end + 1);
  if (const size_t classEnd = klass.find('\0'); classEnd != std::string::npos) {
    klass.resize(classEnd);
  }
  return std::make_pair(s.substr(0, end), klass);
}

}  // namespace morel_xy::x11
