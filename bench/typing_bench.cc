// Typing throughput and accuracy into a real X client under a private Xvfb: the built host's
// "send_text" against xdotool type on the same texts and client. Prints one line per run:
// characters per second (first key sent to last character received) and characters wrong
// (edit distance between what was sent and what the client decoded).
//
//   typing_bench [--runs N] [--skip-xdotool]
//
// "typed" is the time until the typist was done (the host's answer, xdotool's exit); "received"
// until the client had decoded the last character.

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "event_client.h"
#include "host_process.h"
#include "xvfb_server.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::vector<std::string> SplitCharacters(const std::string& utf8) {
  std::vector<std::string> characters;
  for (size_t i = 0; i < utf8.size();) {
    size_t length = 1;
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0xF0) {
      length = 4;
    } else if (c >= 0xE0) {
      length = 3;
    } else if (c >= 0xC0) {
      length = 2;
    }
    characters.push_back(utf8.substr(i, length));
    i += length;
  }
  return characters;
}

// A text of exactly `count` characters drawn from `alphabet` (words or single characters).
std::string MakeText(const std::vector<std::string>& pieces, size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::string> characters;
  while (characters.size() < count) {
    const std::string& piece = pieces[random() % pieces.size()];
    for (const std::string& c : SplitCharacters(piece)) characters.push_back(c);
  }
  characters.resize(count);
  std::string text;
  for (const std::string& c : characters) text += c;
  return text;
}

std::string EnglishText() {
  const std::vector<std::string> words = {"the ",     "quick ",      "brown ",
                                          "fox ",     "jumps ",      "over ",
                                          "lazy ",    "dog, ",       "while ",
                                          "Alice ",   "reads ",      "a ",
                                          "Book ",    "about ",      "Paris. ",
                                          "London ",  "New ",        "York; ",
                                          "numbers ", "12 ",         "345 ",
                                          "(yes!) ",  "\"quoted\" ", "it's ",
                                          "fine? ",   "E-mail: ",    "user@example.com ",
                                          "100% "};
  return MakeText(words, 2000, 1);
}

std::string MixedText() {
  std::vector<std::string> characters = SplitCharacters(
      "abcdefghij ABC \u00e9\u00e8\u00ea\u00eb\u00e0\u00e2\u00e4\u00f4\u00f6\u00fb\u00fc\u00e7"
      "\u00f1\u00df \u00c1\u00c9\u00cd\u00d3\u00da \u011b\u0161\u010d\u0159\u017e\u00fd\u00e1"
      "\u00ed\u00e9\u016f\u00fa \u011a\u0160\u010c\u0158\u017d \u0391\u0392\u0393\u0394\u0395"
      "\u03b1\u03b2\u03b3\u03b4\u03b5\u03b6\u03b7\u03b8\u03bb\u03bc\u03c0\u03c3\u03c9 \u4e2d"
      "\u6587\u5b57\u7b26\u6d4b\u8bd5\u6c49\u8bed\u4f60\u597d\u4e16\u754c\u5929\u6c14\u5f88"
      "\u597d\u5b66\u4e60\u5de5\u4f5c\u751f\u6d3b\u670b\u53cb\u5bb6\u5ead\u65f6\u95f4"
      "\U0001F600\U0001F389\U0001F44D\U0001F680\u2764");
  return MakeText(characters, 2000, 2);
}

size_t EditDistance(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<size_t> previous(b.size() + 1), current(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t substitute = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      current[j] = std::min({substitute, previous[j] + 1, current[j - 1] + 1});
    }
    std::swap(previous, current);
  }
  return previous[b.size()];
}

struct Result {
  double typedSeconds = 0;  // until the typist was done (the host answered, xdotool ended)
  double seconds = 0;       // until the client had decoded the last character
  size_t wrong = 0;
  bool ok = false;
};

// Types `text` with `typist` into a fresh client on a fresh server and measures it.
template <typename Typist>
Result Measure(const std::string& text, Typist typist) {
  Result result;
  morel_test::XvfbServer xvfb;
  if (!xvfb.ok()) {
    std::fprintf(stderr, "Xvfb: %s\n", xvfb.error().c_str());
    return result;
  }
  morel_test::EventClient client(xvfb.display());
  if (!client.ready()) return result;
  const std::vector<std::string> sent = SplitCharacters(text);

  Clock::time_point start = Clock::now();
  // Whatever typed keeps running until the client has read everything: a host that ended would
  // restore the keymap under characters the client has not decoded yet.
  std::shared_ptr<void> keepAlive;
  if (!typist(xvfb.display(), start, keepAlive)) return result;
  result.typedSeconds = std::chrono::duration<double>(Clock::now() - start).count();
  const std::string received = client.ReadText(sent.size(), 3s);
  // ReadText returns as soon as the last character is in, or after 3 s of silence.
  Clock::time_point end = Clock::now();
  if (morel_test::CountCodePoints(received) < sent.size()) end -= 3s;
  result.seconds = std::chrono::duration<double>(end - start).count();
  const std::vector<std::string> got = SplitCharacters(received);
  result.wrong = EditDistance(sent, got);
  // Where the first differences are, to tell a dropped character from a wrong one.
  size_t shown = 0;
  for (size_t i = 0; i < std::min(sent.size(), got.size()) && shown < 5; ++i) {
    if (sent[i] == got[i]) continue;
    std::fprintf(stderr, "  at %zu: sent %s, received %s (next sent %s)\n", i, sent[i].c_str(),
                 got[i].c_str(), i + 1 < sent.size() ? sent[i + 1].c_str() : "-");
    ++shown;
  }
  result.ok = true;
  return result;
}

Result MeasureHost(const std::string& text) {
  return Measure(text, [&text](const std::string& display, Clock::time_point& start,
                               std::shared_ptr<void>& keepAlive) {
    auto process = std::make_shared<morel_test::HostProcess>(MOREL_XY_HOST_PATH, display);
    keepAlive = process;
    morel_test::HostProcess& host = *process;
    // One warm-up request so the host's start-up is not counted.
    const nlohmann::json hello = {{"id", 1}, {"method", "get_version"}, {"params", nullptr}};
    if (!host.Send(hello.dump()) || !host.Receive()) return false;
    const nlohmann::json request = {
        {"id", 2}, {"method", "send_text"}, {"params", {{"text", text}}}};
    start = Clock::now();
    if (!host.Send(request.dump())) return false;
    const std::optional<std::string> reply = host.Receive(std::chrono::minutes(5));
    return reply && reply->find("\"result\":true") != std::string::npos;
  });
}

Result MeasureXdotool(const std::string& text, int delayMs) {
  return Measure(
      text, [&](const std::string& display, Clock::time_point& start, std::shared_ptr<void>&) {
        start = Clock::now();
        return morel_test::RunWithDisplay(display, {"xdotool", "type", "--delay",
                                                    std::to_string(delayMs), "--", text}) == 0;
      });
}

void Report(const char* who, const char* textName, const std::string& text, const Result& r) {
  const size_t count = morel_test::CountCodePoints(text);
  if (!r.ok) {
    std::printf("%-22s %-8s failed to run\n", who, textName);
    return;
  }
  std::printf(
      "%-18s %-8s %5zu chars  typed in %6.2f s (%6.1f/s)  received in %6.2f s (%6.1f/s)  %4zu "
      "wrong\n",
      who, textName, count, r.typedSeconds, count / r.typedSeconds, r.seconds, count / r.seconds,
      r.wrong);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 1;
  bool xdotool = true;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (!std::strcmp(argv[i], "--skip-xdotool")) {
      xdotool = false;
    } else {
      std::fprintf(stderr, "usage: %s [--runs N] [--skip-xdotool]\n", argv[0]);
      return 2;
    }
  }
  const std::string english = EnglishText();
  const std::string mixed = MixedText();
  for (int run = 0; run < runs; ++run) {
    Report("morel_xy_host", "english", english, MeasureHost(english));
    Report("morel_xy_host", "mixed", mixed, MeasureHost(mixed));
    if (xdotool) {
      Report("xdotool --delay 1", "english", english, MeasureXdotool(english, 1));
      Report("xdotool --delay 1", "mixed", mixed, MeasureXdotool(mixed, 1));
      Report("xdotool (12 ms)", "english", english, MeasureXdotool(english, 12));
      Report("xdotool (12 ms)", "mixed", mixed, MeasureXdotool(mixed, 12));
    }
  }
  return 0;
}
