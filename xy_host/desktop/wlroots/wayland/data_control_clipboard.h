#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "desktop/wlroots/logic/wlroots_ports.h"
#include "desktop/wlroots/wayland/wayland_connection.h"

namespace morel_xy::wlroots {

// The seat's clipboard through zwlr_data_control_v1, on a connection and a thread of its own.
//
// A selection this client holds must be handed to whoever pastes it whenever they do, also
// while the host waits for the browser's next request: the thread serves it all the time. The
// Clipboard methods run their work on that thread and wait for it (every wait bounded).
class DataControlClipboard final : public Clipboard {
 public:
  // Formats beyond these limits make Read fail, so the paste that wanted to save them is
  // refused rather than the user's clipboard lost.
  static constexpr size_t kMaxFormats = 64;
  static constexpr size_t kMaxBytes = size_t{64} << 20;

  // nullptr, with the reason in `why`, when the compositor offers no data control.
  static std::unique_ptr<DataControlClipboard> Create(std::string* why,
                                                      const char* displayName = nullptr);
  ~DataControlClipboard() override;
  DataControlClipboard(const DataControlClipboard&) = delete;
  DataControlClipboard& operator=(const DataControlClipboard&) = delete;

  std::optional<ClipboardContents> Read() override;
  bool Set(const ClipboardContents& contents) override;
  bool SetLater(const ClipboardContents& contents, std::chrono::milliseconds delay) override;
  bool CancelLater() override;
  std::optional<uint64_t> WaitForReads(uint64_t reads, std::chrono::milliseconds timeout) override;

  struct State;

 private:
  explicit DataControlClipboard(std::unique_ptr<WaylandConnection> connection);
  // Runs `work` on the clipboard thread and returns its result; false when the thread does not
  // get to it in time.
  bool Run(const std::function<void()>& work);
  void Serve();
  void Wake();

  std::unique_ptr<WaylandConnection> m_connection;
  std::unique_ptr<State> m_state;
  int m_wakeFd = -1;
  std::mutex m_mutex;
  std::condition_variable m_finished;
  std::deque<std::function<void()>> m_work;
  uint64_t m_workDone = 0;
  uint64_t m_workQueued = 0;
  bool m_stopping = false;
  std::thread m_thread;
};

}  // namespace morel_xy::wlroots
