// The host's get_version round trip over real pipes: median and p99 in microseconds.
// Usage: host_round_trip [requests]   (runs the built morel_xy_host without a display)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host_process.h"
#include "version_answer.h"

int main(int argc, char** argv) {
  const int requests = argc > 1 ? std::max(100, std::atoi(argv[1])) : 20000;
  morel_test::HostProcess host(MOREL_XY_HOST_PATH, "");
  const std::string request = R"({"id":1,"method":"get_version","params":{}})";
  const std::string expected = morel_test::VersionAnswer(1);

  // Warm up the process, the pipes and the caches.
  for (int i = 0; i < 200; ++i) {
    host.Send(request);
    if (host.Receive() != expected) {
      std::fprintf(stderr, "unexpected answer\n");
      return 1;
    }
  }

  std::vector<double> micros;
  micros.reserve(static_cast<size_t>(requests));
  for (int i = 0; i < requests; ++i) {
    const auto start = std::chrono::steady_clock::now();
    host.Send(request);
    const auto answer = host.Receive();
    const auto end = std::chrono::steady_clock::now();
    if (answer != expected) {
      std::fprintf(stderr, "unexpected answer\n");
      return 1;
    }
    micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  host.CloseInput();
  host.Wait();

  std::sort(micros.begin(), micros.end());
  const auto at = [&](double q) {
    return micros[std::min(micros.size() - 1, static_cast<size_t>(q * micros.size()))];
  };
  std::printf("get_version round trip over pipes, %d requests: median %.1f us, p99 %.1f us\n",
              requests, at(0.5), at(0.99));
  return 0;
}
