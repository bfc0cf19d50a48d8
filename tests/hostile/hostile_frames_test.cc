// The built host against hostile channel input: lengths that lie, bodies cut short, JSON that
// is invalid or nested 100,000 deep, strings as large as a frame may hold and a million
// requests in one stream. Every case must end in order (the documented exit status, whole
// responses or none), quickly, and with the process's peak resident memory under 64 MiB.
//
// The host runs with no X display, so only the channel and dispatch are exercised.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "framing.h"
#include "version_answer.h"

namespace {

using morel_test::Frame;
using morel_test::Length;
using morel_test::VersionAnswer;

using Clock = std::chrono::steady_clock;

constexpr long kMemoryLimitKiB = 64 * 1024;
// The largest body the host accepts.
constexpr uint32_t kMaxBody = 16u * 1024 * 1024;

// A body of exactly kMaxBody bytes: `head`, then `fill` repeated, then `tail`.
std::string FullBody(const std::string& head, const std::string& fill, const std::string& tail) {
  std::string body = head;
  while (body.size() + fill.size() + tail.size() <= kMaxBody) body += fill;
  body.append(kMaxBody - body.size() - tail.size(), ' ');
  return body + tail;
}

// This process's resident memory in KiB (VmRSS).
long OwnResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

struct Outcome {
  long parentKiB = 0;                  // this process's resident memory when the host was forked
  int exitStatus = -1;                 // -1 when killed or hung
  bool hung = false;                   // killed at the deadline
  long peakKiB = 0;                    // ru_maxrss of the host
  double seconds = 0;                  // wall time from start to exit
  uint64_t outputBytes = 0;            // everything the host wrote
  std::vector<std::string> responses;  // the bodies of the first `keepResponses` frames
  uint64_t responseCount = 0;          // complete frames written
  bool trailingGarbage = false;        // bytes after the last complete frame
};

// Writes one chunk of the host's input; returns false when the host stopped reading.
using Writer = std::function<bool(const std::string&)>;

// Runs the host with `feed` writing its input. With `keepInputOpen`, the input stays open
// after `feed` returns until the host exits, so a host that waits for more bytes is caught
// hanging instead of seeing end of input.
Outcome RunHost(const std::function<void(const Writer&)>& feed, bool keepInputOpen = false,
                size_t keepResponses = 16,
                std::chrono::seconds deadline = std::chrono::seconds(60)) {
  Outcome outcome;
  // The host may end the channel before the feed is written; the writer sees EPIPE instead of
  // this process being killed.
  signal(SIGPIPE, SIG_IGN);
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "pipe failed";
    return outcome;
  }
  // The host's peak memory (ru_maxrss) counts what the forked child shared with this process
  // before exec, so this process is made as small as it can be first, and its size noted.
  // The inputs are built by `feed` after the fork for the same reason.
  // A fixed threshold keeps every large buffer in its own mapping, returned when freed.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  malloc_trim(0);
  outcome.parentKiB = OwnResidentKiB();
  const auto started = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    signal(SIGPIPE, SIG_DFL);  // ignored dispositions survive exec
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    unsetenv("DISPLAY");
    execl(MOREL_XY_HOST_PATH, MOREL_XY_HOST_PATH, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);

  std::thread reader([&] {
    std::string pending;
    char buffer[1 << 16];
    ssize_t got;
    while ((got = read(out[0], buffer, sizeof buffer)) > 0) {
      outcome.outputBytes += static_cast<uint64_t>(got);
      pending.append(buffer, static_cast<size_t>(got));
      size_t at = 0;
      while (pending.size() - at >= 4) {
        uint32_t length;
        std::memcpy(&length, pending.data() + at, 4);
        if (pending.size() - at - 4 < length) break;
        if (outcome.responses.size() < keepResponses) {
          outcome.responses.push_back(pending.substr(at + 4, length));
        }
        ++outcome.responseCount;
        at += 4 + length;
      }
      pending.erase(0, at);
    }
    outcome.trailingGarbage = !pending.empty();
    close(out[0]);
  });

  std::thread writer([&] {
    feed([&](const std::string& bytes) {
      size_t done = 0;
      while (done < bytes.size()) {
        const ssize_t n = write(in[1], bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
      }
      return true;
    });
    if (!keepInputOpen) close(in[1]);
  });

  // Wait for the host, killing it at the deadline.
  int status = 0;
  rusage usage{};
  for (;;) {
    const pid_t done = wait4(pid, &status, WNOHANG, &usage);
    if (done == pid) break;
    if (Clock::now() - started > deadline) {
      kill(pid, SIGKILL);
      wait4(pid, &status, 0, &usage);
      outcome.hung = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  outcome.seconds = std::chrono::duration<double>(Clock::now() - started).count();
  if (keepInputOpen) close(in[1]);
  writer.join();
  reader.join();
  outcome.peakKiB = usage.ru_maxrss;
  if (!outcome.hung && WIFEXITED(status)) outcome.exitStatus = WEXITSTATUS(status);
  return outcome;
}

// The peak memory bound holds for the plain build; under the sanitizers the shadow memory
// makes the figure meaningless, and only the behaviour is checked.
void ExpectBoundedMemory(const Outcome& outcome) {
#ifndef MOREL_SANITIZED_BUILD
  EXPECT_LT(outcome.parentKiB, 16 * 1024)
      << "the test process itself is too big (" << outcome.parentKiB << " KiB) to measure the host";
  EXPECT_LT(outcome.peakKiB, kMemoryLimitKiB)
      << "peak resident memory " << outcome.peakKiB << " KiB";
#endif
  ::testing::Test::RecordProperty("peak_kib", std::to_string(outcome.peakKiB));
  std::printf("peak resident memory %ld KiB (test process %ld KiB at fork), %.2f s\n",
              outcome.peakKiB, outcome.parentKiB, outcome.seconds);
}

const std::string kVersionRequest = R"({"id":1,"method":"get_version","params":{}})";
const std::string kVersionResponse = VersionAnswer(1);

TEST(HostileFrames, FourGibLengthWithNothingAfterItEndsAtOnce) {
  // The input stays open: a host that tried to read 4 GiB would wait for ever.
  const Outcome o =
      RunHost([](const Writer& w) { w(Length(0xFFFFFFFFu)); }, true, 16, std::chrono::seconds(10));
  EXPECT_FALSE(o.hung) << "the host waited for a 4 GiB body";
  EXPECT_EQ(o.exitStatus, 254);
  EXPECT_EQ(o.outputBytes, 0u);
  EXPECT_LT(o.seconds, 5.0);
  ExpectBoundedMemory(o);
}

TEST(HostileFrames, LengthsJustAboveTheCapAndAfterAGoodRequest) {
  for (const uint32_t length : {kMaxBody + 1, 64u * 1024 * 1024, 0x80000000u, 0xFFFFFFFEu}) {
    const Outcome o =
        RunHost([&](const Writer& w) { w(Frame(kVersionRequest) + Length(length) + "{\"id\":2"); },
                true, 16, std::chrono::seconds(10));
    EXPECT_FALSE(o.hung) << length;
    EXPECT_EQ(o.exitStatus, 254) << length;
    ASSERT_EQ(o.responseCount, 1u) << length;
    EXPECT_EQ(o.responses[0], kVersionResponse);
    EXPECT_FALSE(o.trailingGarbage);
    ExpectBoundedMemory(o);
  }
}

TEST(HostileFrames, LargeAnnouncedLengthWithAFewBytesCostsNothing) {
  // The largest length accepted, 1000 bytes sent, then end of input.
  const Outcome o = RunHost([](const Writer& w) { w(Length(kMaxBody) + std::string(1000, 'x')); });
  EXPECT_EQ(o.exitStatus, 254);
  EXPECT_EQ(o.outputBytes, 0u);
  ExpectBoundedMemory(o);
}

TEST(HostileFrames, BodiesCutShortAtEveryPoint) {
  const std::string frame = Frame(kVersionRequest);
  for (size_t cut = 1; cut < frame.size(); ++cut) {
    const Outcome o = RunHost([&](const Writer& w) {
      w(Frame(kVersionRequest));
      w(frame.substr(0, cut));
    });
    EXPECT_EQ(o.exitStatus, 254) << "cut at " << cut;
    EXPECT_EQ(o.responseCount, 1u) << "cut at " << cut;
    EXPECT_FALSE(o.trailingGarbage) << "cut at " << cut;
  }
}

TEST(HostileFrames, InvalidJsonEndsTheChannelWithoutAnswer) {
  const std::vector<std::string> bodies = {
      "{",
      "{\"id\":1,\"method\":\"get_version\"",
      "not json",
      "{\"id\":1,\"method\":\"get_version\"} trailing",
      "\xff\xfe\xfd",
      "{\"id\":1,\"method\":\"send_text\",\"params\":{\"text\":\"\xc3\x28\"}}",  // bad UTF-8
      "{\"id\":1,\"method\":\"send_text\",\"params\":{\"text\":\"\\ud800\"}}",   // lone surrogate
      std::string("{\"id\":1,\0\"method\":\"get_version\"}",
                  sizeof("{\"id\":1,\0\"method\":\"get_version\"}") - 1),  // a NUL
  };
  for (const std::string& body : bodies) {
    const Outcome o = RunHost([&](const Writer& w) {
      w(Frame(kVersionRequest));
      w(Frame(body));
      w(Frame(kVersionRequest));
    });
    EXPECT_EQ(o.exitStatus, 253) << body;
    EXPECT_EQ(o.responseCount, 1u) << body;  // the first request only
    EXPECT_FALSE(o.trailingGarbage);
  }
}

TEST(HostileFrames, DeeplyNestedJson) {
  constexpr int kDepth = 100000;
  const std::string open(kDepth, '['), close(kDepth, ']');
  const std::string objects = [] {
    std::string s;
    for (int i = 0; i < kDepth; ++i) s += "{\"a\":";
    s += "1";
    s += std::string(kDepth, '}');
    return s;
  }();

  // As the whole request: valid JSON, but not an object.
  Outcome o = RunHost([&](const Writer& w) { w(Frame(open + close)); });
  EXPECT_EQ(o.exitStatus, 253);
  EXPECT_EQ(o.outputBytes, 0u);
  ExpectBoundedMemory(o);

  // Unbalanced: invalid JSON.
  o = RunHost([&](const Writer& w) { w(Frame(open)); });
  EXPECT_EQ(o.exitStatus, 253);
  ExpectBoundedMemory(o);

  // Inside the parameters of requests that ignore them or read them: answered, and the
  // channel goes on.
  o = RunHost([&](const Writer& w) {
    w(Frame(R"({"id":1,"method":"get_version","params":)" + open + close + "}"));
    w(Frame(R"({"id":2,"method":"send_text","params":{"text":)" + objects + "}}"));
    w(Frame(R"({"id":3,"method":"send_mouse_event","params":)" + objects + "}"));
    w(Frame(kVersionRequest));
  });
  EXPECT_EQ(o.exitStatus, 254);
  ASSERT_EQ(o.responseCount, 4u);
  EXPECT_EQ(o.responses[0], VersionAnswer(1));
  EXPECT_NE(o.responses[1].find(R"("error":["message","Exception: )"), std::string::npos)
      << o.responses[1];
  EXPECT_NE(o.responses[2].find(R"("error":["message","Exception: )"), std::string::npos)
      << o.responses[2];
  EXPECT_EQ(o.responses[3], kVersionResponse);
  ExpectBoundedMemory(o);
}

TEST(HostileFrames, StringsAsLargeAsAFrameMayHold) {
  // Frames of the largest accepted size that are one string where the host ignores it, as a
  // key, as the method name and as the id; then escapes, whose text is six times its value.
  Outcome o = RunHost([&](const Writer& w) {
    w(Frame(FullBody(R"({"id":1,"method":"get_version","params":{"junk":")", "A", "\"}}")));
    w(Frame(FullBody(R"({"id":2,"method":"get_version","params":{")", "B", "\":1}}")));
    w(Frame(FullBody(R"({"id":3,"method":"get_version","params":[")", "\\u00e9", "\"]}")));
    w(Frame(kVersionRequest));
  });
  EXPECT_EQ(o.exitStatus, 254);
  ASSERT_EQ(o.responseCount, 4u);
  EXPECT_EQ(o.responses[0], VersionAnswer(1));
  EXPECT_EQ(o.responses[1], VersionAnswer(2));
  EXPECT_EQ(o.responses[2], VersionAnswer(3));
  ExpectBoundedMemory(o);

  const Outcome unknown =
      RunHost([&](const Writer& w) { w(Frame(FullBody(R"({"id":1,"method":")", "A", "\"}"))); });
  EXPECT_EQ(unknown.exitStatus, 251);
  EXPECT_EQ(unknown.outputBytes, 0u);
  ExpectBoundedMemory(unknown);

  const Outcome badId = RunHost([&](const Writer& w) {
    w(Frame(FullBody(R"({"method":"get_version","id":")", "A", "\"}")));
  });
  EXPECT_EQ(badId.exitStatus, 252);
  ExpectBoundedMemory(badId);

  // Many large strings in one request.
  const Outcome many = RunHost([&](const Writer& w) {
    const std::string mib(1u << 20, 'C');
    std::string body = R"({"id":1,"method":"get_version","params":[")" + mib;
    for (int i = 1; i < 15; ++i) body += "\",\"" + mib;
    w(Frame(body + "\"]}"));
  });
  EXPECT_EQ(many.exitStatus, 254);
  ASSERT_EQ(many.responseCount, 1u);
  ExpectBoundedMemory(many);
}

TEST(HostileFrames, TextToTypeAsLargeAsAFrameMayHold) {
  // With no display the keyboard refuses the first key, and the answer is false; the whole
  // text is still read and checked for chords first.
  const Outcome o = RunHost([&](const Writer& w) {
    w(Frame(FullBody(R"({"id":1,"method":"send_text","params":{"text":")", "x${KEY_A}", "\"}}")));
  });
  EXPECT_EQ(o.exitStatus, 254);
  ASSERT_EQ(o.responseCount, 1u);
  EXPECT_EQ(o.responses[0], R"({"id":1,"result":false})");
  ExpectBoundedMemory(o);
}

TEST(HostileFrames, AMillionSmallRequestsInOneStream) {
  constexpr int kRequests = 1000000;
  const Outcome o = RunHost(
      [&](const Writer& w) {
        std::string batch;
        for (int i = 1; i <= kRequests; ++i) {
          batch += Frame(i % 2 ? R"({"id":)" + std::to_string(i) + R"(,"method":"get_version"})"
                               : R"({"id":)" + std::to_string(i) +
                                     R"(,"method":"get_screen_backing_scale_factor"})");
          if (batch.size() > (1u << 20)) {
            if (!w(batch)) return;
            batch.clear();
          }
        }
        w(batch);
      },
      false, 4, std::chrono::seconds(120));
  EXPECT_FALSE(o.hung);
  EXPECT_EQ(o.exitStatus, 254);
  EXPECT_EQ(o.responseCount, static_cast<uint64_t>(kRequests));
  EXPECT_FALSE(o.trailingGarbage);
  ASSERT_GE(o.responses.size(), 2u);
  EXPECT_EQ(o.responses[0], VersionAnswer(1));
  EXPECT_EQ(o.responses[1], R"({"id":2,"result":0.0})");
  ExpectBoundedMemory(o);
}

}  // namespace
