// The built host, driven over its channel, typing and clicking into a real X client.

// clang-format off
// gtest names a type None, which Xlib defines as a macro: gtest goes first.
#include <gtest/gtest.h>
// clang-format on

#include <X11/Xlib.h>
#include <signal.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "event_client.h"
#include "host_process.h"
#include "x11_test_support.h"
#include "xvfb_server.h"

namespace {

using morel_test::EventClient;
using morel_test::Fields;
using morel_test::HostProcess;
using nlohmann::json;
using namespace std::chrono_literals;

class HostInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(xvfb.ok()) << xvfb.error();
    observer = XOpenDisplay(xvfb.display().c_str());
    ASSERT_NE(observer, nullptr);
    client = std::make_unique<EventClient>(xvfb.display());
    ASSERT_TRUE(client->ready());
    keymapBefore = morel_test::KeyboardMapping(observer);
    host = std::make_unique<HostProcess>(MOREL_XY_HOST_PATH, xvfb.display());
  }
  void TearDown() override {
    host.reset();
    client.reset();
    if (observer) XCloseDisplay(observer);
  }

  // Sends one request and returns its response's "result" (null when there is none).
  // The whole response to one request; null when the host did not answer.
  json Request(const std::string& method, const json& params) {
    const json request = {{"id", ++lastId}, {"method", method}, {"params", params}};
    if (!host->Send(request.dump())) return nullptr;
    const std::optional<std::string> response = host->Receive(60s);
    if (!response) return nullptr;
    const json parsed = json::parse(*response);
    EXPECT_EQ(parsed.value("id", -1), lastId);
    return parsed;
  }

  // The result of one request; null when it failed or was not answered.
  json Call(const std::string& method, const json& params) {
    const json response = Request(method, params);
    return response.contains("result") ? response["result"] : json(nullptr);
  }

  void ExpectNothingHeldAndKeymapRestored() {
    EXPECT_TRUE(morel_test::KeysDown(observer).empty());
    EXPECT_EQ(morel_test::QueryPointer(observer).mask & morel_test::kAnyButtonMask, 0u);
    EXPECT_EQ(morel_test::KeyboardMapping(observer), keymapBefore);
  }

  morel_test::XvfbServer xvfb;
  Display* observer = nullptr;
  std::unique_ptr<EventClient> client;
  std::vector<KeySym> keymapBefore;
  std::unique_ptr<HostProcess> host;
  int lastId = 0;
};

TEST_F(HostInputTest, TypedTextOfManyScriptsDecodesToExactlyItself) {
  // More characters beyond the layout than there are scratch keycodes, so keycodes are reused.
  const std::string text =
      "Hello, World! ~`@#%^&*()_+-=[]{}|;:'\",.<>/?\\ 0123456789 "
      "\u00e0\u00e9\u00ee\u00f5\u00fc\u00df\u00c7\u00d1\u00ff "
      "P\u0159\u00edli\u0161 \u017elu\u0165ou\u010dk\u00fd k\u016f\u0148 \u00fap\u011bl "
      "\u010f\u00e1belsk\u00e9 \u00f3dy \u0160\u010c\u0158\u017d\u00dd\u00c1\u00cd\u00c9 "
      "\u039e\u03b5\u03c3\u03ba\u03b5\u03c0\u03ac\u03b6\u03c9 \u03c8\u03c5\u03c7\u03bf\u03c6"
      "\u03b8\u03cc\u03c1\u03b1 \u6211\u80fd\u541e\u4e0b\u73bb\u7483\u800c\u4e0d\u4f24\u8eab"
      "\u4f53\uff0c\u4eca\u5929\u5929\u6c14\u5f88\u597d \U0001F600\U0001F389\U0001F44D "
      "\u00e9\u4e2d\u00e9";
  ASSERT_EQ(Call("send_text", {{"text", text}}), json(true));
  EXPECT_EQ(client->ReadText(morel_test::CountCodePoints(text), 3s), text);

  host->CloseInput();
  EXPECT_EQ(host->Wait(), 254);
  ExpectNothingHeldAndKeymapRestored();
}

TEST_F(HostInputTest, ChordsPressRealKeysAndMalformedTextTypesNothing) {
  ASSERT_EQ(Call("send_text", {{"text", "ab${KEY_ENTER}${key_ctrl+key_a}"}}), json(true));
  EXPECT_EQ(client->ReadText(4, 2s), "ab\r\x01");

  ASSERT_EQ(Call("send_text", {{"text", "xyz${KEY_BOGUS}"}}), json(false));
  ASSERT_EQ(Call("send_text", {{"text", "xyz${KEY_ENTER"}}), json(false));
  for (const std::string& line : client->Drain(300ms)) {
    EXPECT_NE(Fields(line)[0], "key") << "typed something: " << line;
  }

  // A request the host refuses to parse is answered with an error and the host goes on.
  const json reply = Request("send_text", {{"wrong", 1}});
  EXPECT_FALSE(reply.contains("result"));
  EXPECT_TRUE(reply.contains("error")) << "no answer, or not an error: " << reply;
  EXPECT_EQ(Call("send_text", {{"text", "ok"}}), json(true));
  EXPECT_EQ(client->ReadText(2, 2s), "ok");
}

TEST_F(HostInputTest, MouseAndWheelRequestsLandInPixelsOfTheDesktopScale) {
  ASSERT_EQ(morel_test::SetXftDpi(xvfb.display(), 192), 0);

  const json click = {{"type", 3}, {"button", 0}, {"x", 50}, {"y", 60}};
  ASSERT_EQ(Call("send_mouse_event", click), json(true));
  EXPECT_EQ(Fields(client->WaitFor("press", 5s).value_or("")),
            (std::vector<std::string>{"press", "1", "100", "120", "0"}));
  EXPECT_EQ(Fields(client->WaitFor("release", 5s).value_or(""))[1], "1");

  // Control held around a Ctrl-click with the right button.
  const json ctrlClick = {{"type", 5}, {"button", 1}, {"x", 50}, {"y", 60}};
  ASSERT_EQ(Call("send_mouse_event", ctrlClick), json(true));
  const std::vector<std::string> press = Fields(client->WaitFor("press", 5s).value_or(""));
  ASSERT_EQ(press.size(), 5u);
  EXPECT_EQ(press[1], "3");
  EXPECT_NE(std::stoul(press[4]) & ControlMask, 0u);

  // deltaX drives wheel 1, the vertical one: positive is up (button 4).
  ASSERT_EQ(Call("send_mouse_wheel_event", {{"deltaX", 1}, {"deltaY", -1}, {"deltaZ", 0}}),
            json(true));
  EXPECT_EQ(Fields(client->WaitFor("press", 5s).value_or(""))[1], "4");
  EXPECT_EQ(Fields(client->WaitFor("press", 5s).value_or(""))[1], "7");
  EXPECT_EQ(morel_test::QueryPointer(observer).x, 100);
}

TEST_F(HostInputTest, HugeWheelDeltaIsCappedInsteadOfHangingTheHost) {
  ASSERT_EQ(Call("send_mouse_wheel_event", {{"deltaX", INT32_MIN}, {"deltaY", 0}, {"deltaZ", 0}}),
            json(true));
  size_t presses = 0;
  for (const std::string& line : client->Drain(1000ms)) presses += line.rfind("press 5", 0) == 0;
  EXPECT_EQ(presses, 1000u);
}

TEST_F(HostInputTest, EndOfInputReleasesAHeldButtonAndRestoresTheKeymap) {
  ASSERT_EQ(Call("send_mouse_event", {{"type", 1}, {"button", 0}, {"x", 5}, {"y", 5}}), json(true));
  ASSERT_EQ(Call("send_text", {{"text", "\u4e2d\u00e9\U0001F600"}}), json(true));
  EXPECT_NE(morel_test::QueryPointer(observer).mask & Button1Mask, 0u);
  EXPECT_NE(morel_test::KeyboardMapping(observer), keymapBefore);

  host->CloseInput();
  EXPECT_EQ(host->Wait(), 254);
  ExpectNothingHeldAndKeymapRestored();
}

class HostSignalTest : public HostInputTest, public ::testing::WithParamInterface<int> {};

TEST_P(HostSignalTest, SignalMidTypingReleasesEverythingAndRestoresTheKeymap) {
  ASSERT_EQ(Call("send_mouse_event", {{"type", 1}, {"button", 2}, {"x", 5}, {"y", 5}}), json(true));
  // Long enough to be mid-way when the signal comes: characters beyond the layout, chords.
  std::string text;
  for (int i = 0; i < 200; ++i) {
    text += "\u4e00\u00e9a${KEY_SHIFT+KEY_CTRL+KEY_LEFT}\u03a9";
  }
  const json request = {{"id", 99}, {"method", "send_text"}, {"params", {{"text", text}}}};
  ASSERT_TRUE(host->Send(request.dump()));
  ASSERT_TRUE(client->WaitFor("key ", 5s).has_value());
  std::this_thread::sleep_for(300ms);

  host->Signal(GetParam());
  EXPECT_EQ(host->Wait(), 128 + GetParam());
  ExpectNothingHeldAndKeymapRestored();
}

INSTANTIATE_TEST_SUITE_P(TermAndInt, HostSignalTest, ::testing::Values(SIGTERM, SIGINT));

}  // namespace
