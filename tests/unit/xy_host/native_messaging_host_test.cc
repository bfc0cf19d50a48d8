#include "native_messaging/native_messaging_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "framing.h"
#include "native_messaging/split_text.h"

namespace morel {
namespace {

using morel_test::Frame;
using morel_test::Length;

enum class TestMethod { Echo, Throw };

// A host over in-memory streams whose handlers echo their params or throw.
class TestHost : public NativeMessagingHost<TestMethod> {
 public:
  TestHost(FILE* in, FILE* out)
      : NativeMessagingHost({{"echo", TestMethod::Echo}, {"throw", TestMethod::Throw}}, in, out) {}
  HostResponse ProcessRequest(TestMethod method, const json& params) override {
    if (method == TestMethod::Throw) throw std::runtime_error("boom 100%s");
    return HostResponse::Result(params);
  }
};

struct Outcome {
  int code;
  std::vector<std::string> responses;
};

Outcome Serve(const std::string& input) {
  FILE* in = tmpfile();
  FILE* out = tmpfile();
  fwrite(input.data(), 1, input.size(), in);
  rewind(in);
  Outcome outcome;
  {
    TestHost host(in, out);
    outcome.code = host.Process();
  }
  rewind(out);
  for (;;) {
    uint32_t length;
    if (fread(&length, 1, 4, out) != 4) break;
    std::string body(length, '\0');
    EXPECT_EQ(fread(body.data(), 1, length, out), length);
    outcome.responses.push_back(body);
  }
  fclose(in);
  fclose(out);
  return outcome;
}

TEST(NativeMessagingHostTest, AnswersWithSortedKeysAndTheRequestId) {
  Outcome o = Serve(Frame(R"({"method":"echo","params":{"b":1,"a":"é"},"id":7})"));
  EXPECT_EQ(o.code, kEndOfInput);
  ASSERT_EQ(o.responses.size(), 1u);
  EXPECT_EQ(o.responses[0], R"({"id":7,"result":{"a":"é","b":1}})");
}

TEST(NativeMessagingHostTest, FloatIdIsTruncatedTowardZero) {
  Outcome o =
      Serve(Frame(R"({"id":3.9,"method":"echo"})") + Frame(R"({"id":-3.9,"method":"echo"})"));
  ASSERT_EQ(o.responses.size(), 2u);
  EXPECT_EQ(o.responses[0], R"({"id":3,"result":null})");
  EXPECT_EQ(o.responses[1], R"({"id":-3,"result":null})");
}

TEST(NativeMessagingHostTest, IdMustBeA32BitNumber) {
  for (const char* id : {"", R"("id":"1",)", R"("id":null,)", R"("id":2147483648,)",
                         R"("id":-2147483649,)", R"("id":1e300,)", R"("id":true,)"}) {
    Outcome o = Serve(Frame(std::string("{") + id + R"("method":"echo"})"));
    EXPECT_EQ(o.code, kBadRequestId) << id;
    EXPECT_TRUE(o.responses.empty()) << id;
  }
  EXPECT_EQ(Serve(Frame(R"({"id":2147483647,"method":"echo"})")).responses.at(0),
            R"({"id":2147483647,"result":null})");
  EXPECT_EQ(Serve(Frame(R"({"id":-2147483648,"method":"echo"})")).responses.at(0),
            R"({"id":-2147483648,"result":null})");
}

TEST(NativeMessagingHostTest, UnknownAbsentOrNonStringMethodEndsTheLoop) {
  for (const char* body : {R"({"id":1,"method":"Echo"})", R"({"id":1})", R"({"id":1,"method":5})",
                           R"({"id":1,"method":null})"}) {
    Outcome o = Serve(Frame(body));
    EXPECT_EQ(o.code, kUnknownMethod) << body;
    EXPECT_TRUE(o.responses.empty());
  }
}

TEST(NativeMessagingHostTest, MalformedBodiesEndTheLoopWithoutAnswer) {
  for (const char* body :
       {"{", "[1,2]", "\"text\"", "12", "{\"id\":1,\"method\":\"echo\"} x", "\xff\xfe"}) {
    Outcome o = Serve(Frame(body));
    EXPECT_EQ(o.code, kMalformedRequest) << body;
    EXPECT_TRUE(o.responses.empty());
  }
  // A null body becomes an empty object, which then lacks an id.
  EXPECT_EQ(Serve(Frame("null")).code, kBadRequestId);
}

TEST(NativeMessagingHostTest, ByteOrderMarkIsSkipped) {
  Outcome o =
      Serve(Frame("\xEF\xBB\xBF"
                  R"({"id":1,"method":"echo","params":2})"));
  ASSERT_EQ(o.responses.size(), 1u);
  EXPECT_EQ(o.responses[0], R"({"id":1,"result":2})");
}

TEST(NativeMessagingHostTest, HandlerExceptionBecomesAnErrorAndTheLoopGoesOn) {
  Outcome o = Serve(Frame(R"({"id":1,"method":"throw"})") + Frame(R"({"id":2,"method":"echo"})"));
  EXPECT_EQ(o.code, kEndOfInput);
  ASSERT_EQ(o.responses.size(), 2u);
  EXPECT_EQ(o.responses[0], R"({"error":["message","Exception: boom 100%s"],"id":1})");
  EXPECT_EQ(o.responses[1], R"({"id":2,"result":null})");
}

TEST(NativeMessagingHostTest, FramingFailuresEndTheLoop) {
  const std::string good = Frame(R"({"id":1,"method":"echo"})");
  // Zero length: end of channel, even with more behind it.
  EXPECT_EQ(Serve(std::string(4, '\0') + good).responses.size(), 0u);
  // Short prefix.
  Outcome shortPrefix = Serve(good + std::string(2, '\x05'));
  EXPECT_EQ(shortPrefix.code, kEndOfInput);
  EXPECT_EQ(shortPrefix.responses.size(), 1u);
  // A body shorter than announced.
  Outcome cut = Serve(Length(100) + std::string(60, ' '));
  EXPECT_EQ(cut.code, kEndOfInput);
  EXPECT_TRUE(cut.responses.empty());
  // Cut short far from its start, and not JSON from its first byte: still the end of the
  // channel, not a malformed request.
  Outcome cutGarbage = Serve(Length(100000) + "nonsense" + std::string(50000, ' '));
  EXPECT_EQ(cutGarbage.code, kEndOfInput);
  // Above the browser's limit: refused without reading the body.
  EXPECT_EQ(Serve(Length(kMaxRequestBytes + 1) + good).responses.size(), 0u);
}

// The JSON parser takes a NUL byte for the end of its input, so it accepts a request followed by
// a NUL and anything at all. What follows is still part of the frame and must be read with it,
// however far it reaches past what the host reads at once.
TEST(NativeMessagingHostTest, BodyAfterANulIsReadWithItsFrame) {
  const std::string next = Frame(R"({"id":2,"method":"echo","params":"next"})");
  for (size_t rest : {size_t{10}, size_t{16 * 1024}, size_t{100000}}) {
    std::string body = R"({"id":1,"method":"echo","params":"first"})";
    body += '\0';
    body += std::string(rest, 'x');
    Outcome o = Serve(Frame(body) + next);
    EXPECT_EQ(o.code, kEndOfInput) << rest;
    ASSERT_EQ(o.responses.size(), 2u) << rest;
    EXPECT_EQ(o.responses[0], R"({"id":1,"result":"first"})");
    EXPECT_EQ(o.responses[1], R"({"id":2,"result":"next"})");
  }
}

TEST(NativeMessagingHostTest, LengthPrefixCountsUtf8Bytes) {
  FILE* in = tmpfile();
  FILE* out = tmpfile();
  const std::string input = Frame(R"({"id":1,"method":"echo","params":"日本😀"})");
  fwrite(input.data(), 1, input.size(), in);
  rewind(in);
  {
    TestHost host(in, out);
    host.Process();
  }
  rewind(out);
  uint32_t length = 0;
  ASSERT_EQ(fread(&length, 1, 4, out), 4u);
  std::string body(1000, '\0');
  body.resize(fread(body.data(), 1, body.size(), out));
  EXPECT_EQ(length, body.size());
  EXPECT_EQ(body, R"({"id":1,"result":"日本😀"})");
  fclose(in);
  fclose(out);
}

TEST(SplitTextTest, BehavesLikeReadingLines) {
  using V = std::vector<std::wstring>;
  EXPECT_EQ(SplitText<wchar_t>(L"", L'+'), V{});
  EXPECT_EQ(SplitText<wchar_t>(L"a", L'+'), V{L"a"});
  EXPECT_EQ(SplitText<wchar_t>(L"a+", L'+'), V{L"a"});
  EXPECT_EQ(SplitText<wchar_t>(L"+a", L'+'), (V{L"", L"a"}));
  EXPECT_EQ(SplitText<wchar_t>(L"a++b", L'+'), (V{L"a", L"", L"b"}));
  EXPECT_EQ(SplitText<wchar_t>(L"+", L'+'), V{L""});
}

}  // namespace
}  // namespace morel
