// The built host over real pipes, with no X server, so only the channel and dispatch speak.

#include <gtest/gtest.h>
#include <signal.h>

#include <nlohmann/json.hpp>
#include <string>

#include "host_process.h"
#include "version_answer.h"

namespace {

using morel_test::Frame;
using morel_test::HostProcess;
using morel_test::Length;
using morel_test::VersionAnswer;

class ChannelTest : public ::testing::Test {
 protected:
  HostProcess host{MOREL_XY_HOST_PATH, ""};
};

TEST_F(ChannelTest, ExampleExchangeByteForByteThenEndOfInput) {
  ASSERT_TRUE(host.Send(R"({"id":7,"method":"get_version","params":{}})"));
  host.CloseInput();
  const std::string expected = VersionAnswer(7);
  EXPECT_EQ(host.ReadAll(), Frame(expected));
  EXPECT_EQ(host.Wait(), 254);
}

TEST_F(ChannelTest, HandlerExceptionIsAnsweredAndTheNextRequestServed) {
  host.Send(
      R"({"id":8,"method":"send_mouse_wheel_event","params":{"deltaX":"a","deltaY":0,"deltaZ":0}})");
  host.Send(R"({"id":9,"method":"get_version"})");
  EXPECT_EQ(
      host.Receive(),
      R"({"error":["message","Exception: [json.exception.type_error.302] type must be number, but is string"],"id":8})");
  EXPECT_EQ(host.Receive(), VersionAnswer(9));
}

TEST_F(ChannelTest, ParametersOfAMethodThatNeedsThemWhenParamsIsAbsent) {
  host.Send(R"({"id":1,"method":"send_text"})");
  host.Send(R"({"id":2,"method":"send_mouse_event","params":{"type":"3","button":0,"x":0,"y":0}})");
  host.Send(R"({"id":3,"method":"find_rectangle","params":{"displayId":""}})");
  host.Send(R"({"id":4,"method":"send_mouse_wheel_event","params":[1,2,3]})");
  host.Send(R"({"id":5,"method":"find_rectangle","params":"#FF0000"})");
  EXPECT_EQ(
      host.Receive(),
      R"({"error":["message","Exception: [json.exception.type_error.305] cannot use operator[] with null"],"id":1})");
  EXPECT_EQ(
      host.Receive(),
      R"({"error":["message","Exception: [json.exception.type_error.302] type must be number, but is string"],"id":2})");
  EXPECT_EQ(
      host.Receive(),
      R"({"error":["message","Exception: [json.exception.out_of_range.403] key 'color' not found"],"id":3})");
  EXPECT_EQ(
      host.Receive(),
      R"({"error":["message","Exception: [json.exception.type_error.305] cannot use operator[] with array"],"id":4})");
  EXPECT_EQ(
      host.Receive(),
      R"({"error":["message","Exception: [json.exception.type_error.305] cannot use operator[] with string"],"id":5})");
}

TEST_F(ChannelTest, GetVersionIgnoresParamsAndKeepsIdOrder) {
  host.Send(R"({"params":null,"method":"get_version","id":3.9})");
  host.Send(R"({"method":"get_version","id":-1,"params":[1,2]})");
  host.Send(
      "\xEF\xBB\xBF"
      R"({"id":5,"method":"get_version"})");
  EXPECT_EQ(host.Receive(), VersionAnswer(3));
  EXPECT_EQ(host.Receive(), VersionAnswer(-1));
  EXPECT_EQ(host.Receive(), VersionAnswer(5));
}

TEST_F(ChannelTest, WithoutADisplayEveryOperationFailsTheWayARefusingPlatformDoes) {
  host.Send(R"({"id":1,"method":"get_display_list"})");
  host.Send(R"({"id":2,"method":"get_active_browser_outer_rect"})");
  host.Send(R"({"id":3,"method":"find_rectangle","params":{"color":"#00FF00"}})");
  host.Send(R"({"id":4,"method":"get_screen_backing_scale_factor"})");
  host.Send(R"({"id":5,"method":"send_mouse_event","params":{"type":3,"button":0,"x":5,"y":5}})");
  host.Send(
      R"({"id":6,"method":"send_mouse_wheel_event","params":{"deltaX":1,"deltaY":0,"deltaZ":0}})");
  host.Send(R"({"id":7,"method":"send_text","params":{"text":"a"}})");
  EXPECT_EQ(host.Receive(), R"({"id":1,"result":[]})");
  EXPECT_EQ(host.Receive(), R"({"id":2,"result":null})");
  EXPECT_EQ(host.Receive(), R"({"error":["message","Display cannot be found."],"id":3})");
  EXPECT_EQ(host.Receive(), R"({"id":4,"result":0.0})");
  EXPECT_EQ(host.Receive(), R"({"id":5,"result":false})");
  EXPECT_EQ(host.Receive(), R"({"id":6,"result":false})");
  EXPECT_EQ(host.Receive(), R"({"id":7,"result":false})");
  host.CloseInput();
  EXPECT_EQ(host.Wait(), 254);
}

struct EndCase {
  const char* name;
  std::string input;
  int status;
};

class ChannelEndTest : public ::testing::TestWithParam<EndCase> {};

TEST_P(ChannelEndTest, EndsWithItsStatusAndWritesNothing) {
  HostProcess host(MOREL_XY_HOST_PATH, "");
  host.WriteRaw(GetParam().input);
  host.CloseInput();
  EXPECT_EQ(host.ReadAll(), "");
  EXPECT_EQ(host.Wait(), GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ChannelEndTest,
    ::testing::Values(
        EndCase{"empty", "", 254}, EndCase{"zero_length", Length(0) + Frame("{}"), 254},
        EndCase{"short_prefix", "\x05\x00", 254},
        EndCase{"short_body", Length(100) + std::string(60, ' '), 254},
        EndCase{"over_limit", Length(16u * 1024 * 1024 + 1) + Frame("{}"), 254},
        EndCase{"lying_length_15mib", Length(15u * 1024 * 1024) + "{\"id\":1", 254},
        EndCase{"not_json", Frame("{\"id\":1,"), 253}, EndCase{"array", Frame("[1]"), 253},
        EndCase{"no_id", Frame(R"({"method":"get_version"})"), 252},
        EndCase{"string_id", Frame(R"({"id":"1","method":"get_version"})"), 252},
        EndCase{"id_too_big", Frame(R"({"id":4294967296,"method":"get_version"})"), 252},
        EndCase{"unknown_method", Frame(R"({"id":1,"method":"get_versions"})"), 251},
        EndCase{"method_not_string", Frame(R"({"id":1,"method":7})"), 251}),
    [](const ::testing::TestParamInfo<EndCase>& test) { return std::string(test.param.name); });

TEST(ChannelOutputTest, ClosedOutputDoesNotKillTheHost) {
  HostProcess host(MOREL_XY_HOST_PATH, "");
  host.CloseOutput();
  host.Send(R"({"id":1,"method":"get_version"})");
  host.Send(R"({"id":2,"method":"get_version"})");
  host.CloseInput();
  EXPECT_EQ(host.Wait(), 254);
}

}  // namespace
