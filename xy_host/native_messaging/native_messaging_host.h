#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <limits>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "native_messaging/format.h"
#include "native_messaging/frame_body.h"
#include "native_messaging/host_response.h"
#include "native_messaging/json_document_builder.h"

namespace morel {

// The largest request the host accepts; a frame announcing more ends the channel without its
// body being read. Browsers allow up to 4 GiB, but no method needs more than a few kilobytes
// (16 MiB of text would take hours to type), and the JSON library holds a string twice while
// reading it: this bound keeps the host's peak memory under 64 MiB whatever it is sent.
inline constexpr uint32_t kMaxRequestBytes = 16u * 1024u * 1024u;

// Codes that end the request loop; the program uses them as its exit status.
inline constexpr int kEndOfInput = -2;        // end of input, short or zero frame, oversize length
inline constexpr int kMalformedRequest = -3;  // body not JSON, or JSON neither object nor null
inline constexpr int kBadRequestId = -4;      // "id" missing, not a number, or not a 32-bit integer
inline constexpr int kUnknownMethod = -5;     // "method" missing, not a string, or not in the table

// A browser native-messaging host: reads length-prefixed JSON requests, hands each to
// ProcessRequest by method, and writes one length-prefixed JSON response per request.
//
// Wire format, both directions: a 4-byte length in native byte order, then that many bytes
// of UTF-8 JSON. Requests are handled strictly one at a time; every response is flushed
// before the next request is read.
template <typename Method>
class NativeMessagingHost {
 public:
  explicit NativeMessagingHost(const std::vector<std::pair<std::string, Method>>& methods,
                               FILE* in = stdin, FILE* out = stdout)
      : m_methodMap(methods.begin(), methods.end()), m_in(in), m_out(out) {}
  virtual ~NativeMessagingHost() = default;

  NativeMessagingHost(const NativeMessagingHost&) = delete;
  NativeMessagingHost& operator=(const NativeMessagingHost&) = delete;

  // Handles one request. Reports failure by returning HostResponse::Error or by throwing an
  // exception derived from std::exception.
  virtual HostResponse ProcessRequest(Method method, const json& params) = 0;

  // Runs the request loop until the channel ends; returns one of the end codes above.
  int Process() {
    for (;;) {
      json request;
      if (const int end = ReadRequest(request); end != 0) return end;
      if (!(request.is_object() || request.is_null())) return kMalformedRequest;
      if (request.is_null()) request = json::object();

      int32_t id = 0;
      if (!ReadRequestId(request["id"], id)) return kBadRequestId;

      const json& methodName = request["method"];
      if (!methodName.is_string()) return kUnknownMethod;
      auto method = m_methodMap.find(methodName.template get_ref<const std::string&>());
      if (method == m_methodMap.end()) return kUnknownMethod;

      json response;
      try {
        response = ProcessRequest(method->second, request["params"]).Json();
      } catch (const std::exception& e) {
        response = HostResponse::Error(detail::Format("Exception: %s", e.what())).Json();
      }
      response["id"] = id;
      SendResponse(response);
    }
  }

  // Reads one frame and parses its body, after a UTF-8 byte-order mark if there is one, into
  // `request`. Returns 0 on success; kEndOfInput at end of input, for a short length prefix,
  // a zero length, a length above kMaxRequestBytes, or a body shorter than announced, however
  // it began; kMalformedRequest for a whole body that is not JSON. The body is parsed as it
  // is read, and its strings are moved into `request`, so a request is held about once.
  int ReadRequest(json& request) {
    uint32_t length = 0;
    if (std::fread(&length, 1, sizeof length, m_in) != sizeof length) return kEndOfInput;
    if (length == 0 || length > kMaxRequestBytes) return kEndOfInput;

    FrameBody body(m_in, length);
    body.SkipByteOrderMark();
    JsonDocumentBuilder document;
    const bool parsed = json::sax_parse(body.begin(), body.end(), &document);
    // The parser may stop before the body's end: where it gave up, and also after a whole
    // value followed by a NUL byte, which it takes for the end of its input. The rest of the
    // frame is read either way, or it would be taken for the next frame's length.
    body.SkipRest();
    if (body.Truncated()) return kEndOfInput;
    if (!parsed) return kMalformedRequest;
    request = document.Release();
    return 0;
  }

  // Writes one frame and flushes. Write errors are ignored: a browser that closed the channel
  // will end the loop through end of input.
  void SendResponse(const json& response) {
    const std::string text =
        response.dump(-1, ' ', /*ensure_ascii=*/false, json::error_handler_t::replace);
    const uint32_t length = static_cast<uint32_t>(text.size());
    std::fwrite(&length, 1, sizeof length, m_out);
    std::fwrite(text.data(), 1, text.size(), m_out);
    std::fflush(m_out);
  }

 private:
  // A numeric id becomes a 32-bit signed integer, truncated toward zero. Values outside that
  // range, which no browser sends, are refused rather than wrapped.
  static bool ReadRequestId(const json& value, int32_t& id) {
    constexpr auto kMin = std::numeric_limits<int32_t>::min();
    constexpr auto kMax = std::numeric_limits<int32_t>::max();
    if (value.is_number_unsigned()) {
      const auto v = value.template get<uint64_t>();
      if (v > static_cast<uint64_t>(kMax)) return false;
      id = static_cast<int32_t>(v);
      return true;
    }
    if (value.is_number_integer()) {
      const auto v = value.template get<int64_t>();
      if (v < kMin || v > kMax) return false;
      id = static_cast<int32_t>(v);
      return true;
    }
    if (value.is_number_float()) {
      const double v = std::trunc(value.template get<double>());
      if (!std::isfinite(v) || v < kMin || v > kMax) return false;
      id = static_cast<int32_t>(v);
      return true;
    }
    return false;
  }

  std::unordered_map<std::string, Method> m_methodMap;
  FILE* m_in;
  FILE* m_out;
};

}  // namespace morel
