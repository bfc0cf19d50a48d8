// The host's request loop over arbitrary bytes on its input: frames, JSON, ids, methods and
// parameters, handled against a FakeDesktop that has a browser window, a display and an image
// to search, so every method runs its real logic. Whatever the input, the loop must end with
// one of its end codes and everything it wrote must be well-formed response frames. The
// request parser is also checked against the JSON library's own.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>

#include "desktop/fake/fake_desktop.h"
#include "fuzz_check.h"
#include "host/run_morel_xy_host.h"
#include "native_messaging/json_document_builder.h"
#include "native_messaging/native_messaging_host.h"

namespace {

morel_xy::FakeDesktop MakeDesktop() {
  morel_xy::FakeDesktop desktop;
  desktop.windows = std::vector<morel_xy::TopLevelWindow>{
      {42, "chromium", "Test page", true, morel_xy::PointRect{8, 6, 40, 30}},
      {43, "firefox", "Other", true, morel_xy::PointRect{0, 0, 64, 48}},
  };
  desktop.displays = {
      morel_xy::DesktopDisplay{1, "fake", true, 1.0, {0, 0, 64, 48}, {0, 0, 64, 44}}};

  // A white display with a filled red block and a one-pixel blue outline.
  morel_xy::CapturedImage image;
  image.width = 64;
  image.height = 48;
  image.bytesPerRow = 64 * 4;
  image.bgrx.assign(image.bytesPerRow * 48, 0xFF);
  image.area = morel_xy::PixelRect{0, 0, 64, 48};
  auto paint = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t* p = &image.bgrx[static_cast<size_t>(y) * image.bytesPerRow + x * 4];
    p[0] = b;
    p[1] = g;
    p[2] = r;
  };
  for (int y = 10; y < 20; ++y)
    for (int x = 12; x < 30; ++x) paint(x, y, 0xFF, 0, 0);
  for (int x = 30; x < 44; ++x) paint(x, 24, 0, 0, 0xFF), paint(x, 33, 0, 0, 0xFF);
  for (int y = 24; y < 34; ++y) paint(30, y, 0, 0, 0xFF), paint(43, y, 0, 0, 0xFF);
  desktop.displayImages[1] = image;
  return desktop;
}

// Every frame the host wrote is a 4-byte length and a JSON object with an integer "id" and
// exactly one of "result" or "error" (["message", text]).
void CheckOutput(const char* data, size_t size) {
  size_t at = 0;
  while (at < size) {
    FUZZ_CHECK(size - at >= 4, "a response frame's length is cut short");
    uint32_t length;
    std::memcpy(&length, data + at, 4);
    at += 4;
    FUZZ_CHECK(length > 0 && length <= size - at, "a response frame's body is cut short");
    const nlohmann::json response =
        nlohmann::json::parse(data + at, data + at + length, nullptr, false);
    at += length;
    FUZZ_CHECK(response.is_object(), "a response is not a JSON object");
    FUZZ_CHECK(response.contains("id") && response["id"].is_number_integer(),
               "a response has no integer id");
    const bool hasResult = response.contains("result");
    const bool hasError = response.contains("error");
    FUZZ_CHECK(hasResult != hasError && response.size() == 2,
               "a response must hold id and exactly one of result and error");
    if (hasError) {
      const auto& error = response["error"];
      FUZZ_CHECK(
          error.is_array() && error.size() == 2 && error[0] == "message" && error[1].is_string(),
          "an error is not [\"message\", text]");
    }
  }
}

// The channel builds requests with a parser of its own over the library's events; it must
// accept exactly what the library's parser accepts and build the same value.
void CheckDocumentBuilder(const uint8_t* data, size_t size) {
  morel::JsonDocumentBuilder builder;
  const bool parsed = nlohmann::json::sax_parse(data, data + size, &builder);
  const nlohmann::json expected = nlohmann::json::parse(data, data + size, nullptr, false);
  FUZZ_CHECK(parsed == !expected.is_discarded(),
             "the builder and the library disagree on validity");
  // Comparing values recurses; inputs that may nest deep (more than 500 brackets opened) are
  // compared on validity only, or the comparison would overflow the stack before the builder.
  const auto opened =
      std::count_if(data, data + size, [](uint8_t c) { return c == '[' || c == '{'; });
  if (parsed && opened <= 500) {
    FUZZ_CHECK(builder.Release() == expected, "the builder built another value");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first frame's body, or the whole input when it is too short to be a frame.
  if (size > 4) {
    CheckDocumentBuilder(data + 4, size - 4);
  } else {
    CheckDocumentBuilder(data, size);
  }

  // fmemopen refuses an empty buffer; an empty input is end of input, tested elsewhere.
  if (size == 0) return 0;
  FILE* in = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  char* output = nullptr;
  size_t outputSize = 0;
  FILE* out = open_memstream(&output, &outputSize);
  FUZZ_CHECK(in && out, "cannot open the memory streams");

  // Each input is a fresh desktop and a fresh host: no pointer position carried over.
  morel_xy::FakeDesktop desktop = MakeDesktop();
  const int code = morel_xy::RunMorelXYHost(desktop, in, out);
  std::fclose(in);
  std::fclose(out);

  FUZZ_CHECK(code == morel::kEndOfInput || code == morel::kMalformedRequest ||
                 code == morel::kBadRequestId || code == morel::kUnknownMethod,
             "unexpected end code");
  CheckOutput(output, outputSize);
  std::free(output);
  return 0;
}
