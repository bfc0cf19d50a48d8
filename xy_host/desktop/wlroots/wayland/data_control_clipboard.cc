#include "desktop/wlroots/wayland/data_control_clipboard.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <vector>

#include "desktop/poll_timeout.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

namespace morel_xy::wlroots {

using Clock = std::chrono::steady_clock;

// Everything of the protocol, touched only on the clipboard thread.
struct DataControlClipboard::State {
  WaylandConnection* connection = nullptr;
  zwlr_data_control_device_v1* device = nullptr;
  bool deviceGone = false;
  // Offers announced and the MIME types each was offered in.
  std::map<zwlr_data_control_offer_v1*, std::vector<std::string>> offers;
  zwlr_data_control_offer_v1* selection = nullptr;
  // The source this client holds, and what it serves.
  zwlr_data_control_source_v1* source = nullptr;
  ClipboardContents served;
  uint64_t taken = 0;
  // A selection to make later, and when.
  std::optional<ClipboardContents> later;
  Clock::time_point laterAt{};

  void DropOffer(zwlr_data_control_offer_v1* offer) {
    if (!offer) return;
    offers.erase(offer);
    zwlr_data_control_offer_v1_destroy(offer);
  }
  void DropSource() {
    if (source) zwlr_data_control_source_v1_destroy(source);
    source = nullptr;
  }
};

namespace {

using State = DataControlClipboard::State;
constexpr std::chrono::milliseconds kTransferTime{2000};

// Writes `bytes` to a paste's pipe and closes it. A reader that stops reading is given up on.
void WriteAll(int fd, const std::string& bytes) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  const Clock::time_point deadline = Clock::now() + kTransferTime;
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n > 0) {
      written += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) break;
    pollfd p{fd, POLLOUT, 0};
    if (poll(&p, 1, PollTimeout(deadline)) <= 0) break;
  }
  close(fd);
}

const zwlr_data_control_offer_v1_listener kOfferListener = {
    .offer =
        [](void* data, zwlr_data_control_offer_v1* offer, const char* type) {
          auto* state = static_cast<State*>(data);
          std::vector<std::string>& types = state->offers[offer];
          if (types.size() < DataControlClipboard::kMaxFormats + 1) types.emplace_back(type);
        },
};

const zwlr_data_control_source_v1_listener kSourceListener = {
    .send =
        [](void* data, zwlr_data_control_source_v1* source, const char* type, int32_t fd) {
          auto* state = static_cast<State*>(data);
          const std::string wanted(type);
          const auto& formats = state->served.formats;
          const auto found = std::find_if(formats.begin(), formats.end(),
                                          [&wanted](const auto& f) { return f.first == wanted; });
          WriteAll(fd, found == formats.end() ? std::string() : found->second);
          if (source == state->source) ++state->taken;
        },
    .cancelled =
        [](void* data, zwlr_data_control_source_v1* source) {
          auto* state = static_cast<State*>(data);
          // Another client's selection replaced this one.
          if (source == state->source) state->source = nullptr;
          zwlr_data_control_source_v1_destroy(source);
        },
};

const zwlr_data_control_device_v1_listener kDeviceListener = {
    .data_offer =
        [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
          auto* state = static_cast<State*>(data);
          state->offers[offer];
          zwlr_data_control_offer_v1_add_listener(offer, &kOfferListener, state);
        },
    .selection =
        [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
          auto* state = static_cast<State*>(data);
          if (state->selection != offer) state->DropOffer(state->selection);
          state->selection = offer;
        },
    .finished = [](void* data,
                   zwlr_data_control_device_v1*) { static_cast<State*>(data)->deviceGone = true; },
    .primary_selection =
        [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
          static_cast<State*>(data)->DropOffer(offer);
        },
};

// Reads one format of the selection. Events are dispatched meanwhile, so a selection this
// client holds itself is served while it is read.
std::optional<std::string> ReadFormat(State& state, zwlr_data_control_offer_v1* offer,
                                      const std::string& type, size_t budget) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return std::nullopt;
  zwlr_data_control_offer_v1_receive(offer, type.c_str(), fds[1]);
  close(fds[1]);
  WaylandConnection& connection = *state.connection;
  wl_display* display = connection.display();
  if (!connection.Flush()) {
    close(fds[0]);
    return std::nullopt;
  }
  const Clock::time_point deadline = Clock::now() + kTransferTime;
  std::string bytes;
  bool complete = false;
  for (;;) {
    char chunk[65536];
    const ssize_t n = read(fds[0], chunk, sizeof chunk);
    if (n == 0) {
      complete = true;
      break;
    }
    if (n > 0) {
      if (bytes.size() + static_cast<size_t>(n) > budget) break;
      bytes.append(chunk, static_cast<size_t>(n));
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN) break;
    if (wl_display_prepare_read(display) != 0) {
      wl_display_dispatch_pending(display);
      continue;
    }
    connection.Flush();
    pollfd p[2] = {{fds[0], POLLIN, 0}, {wl_display_get_fd(display), POLLIN, 0}};
    const int ready = poll(p, 2, PollTimeout(deadline));
    if (ready > 0 && (p[1].revents & POLLIN)) {
      wl_display_read_events(display);
    } else {
      wl_display_cancel_read(display);
    }
    wl_display_dispatch_pending(display);
    if (ready == 0 || !connection.alive()) break;
  }
  close(fds[0]);
  if (!complete) return std::nullopt;
  return bytes;
}

// Makes `contents` the selection (none when it has no formats) and waits until the compositor
// has handled it: every client with the keyboard focus then has the new selection before any
// key this host sends afterwards.
bool SetSelection(State& state, const ClipboardContents& contents) {
  WaylandConnection& connection = *state.connection;
  state.later.reset();
  if (!connection.alive() || state.deviceGone) return false;
  zwlr_data_control_manager_v1* manager = connection.globals().dataControlManager;
  zwlr_data_control_source_v1* source = nullptr;
  if (!contents.formats.empty()) {
    source = zwlr_data_control_manager_v1_create_data_source(manager);
    zwlr_data_control_source_v1_add_listener(source, &kSourceListener, &state);
    for (const auto& [type, bytes] : contents.formats) {
      zwlr_data_control_source_v1_offer(source, type.c_str());
    }
  }
  zwlr_data_control_device_v1_set_selection(state.device, source);
  // The previous source gets its cancelled event now; it destroys itself then.
  state.source = source;
  state.served = contents;
  state.taken = 0;
  return connection.Roundtrip();
}

}  // namespace

std::unique_ptr<DataControlClipboard> DataControlClipboard::Create(std::string* why,
                                                                   const char* displayName) {
  std::unique_ptr<WaylandConnection> connection = WaylandConnection::Open(why, displayName);
  if (!connection) return nullptr;
  if (!connection->globals().dataControlManager || !connection->globals().seat) {
    if (why) *why = "the compositor offers no clipboard control (zwlr_data_control_manager_v1)";
    return nullptr;
  }
  return std::unique_ptr<DataControlClipboard>(new DataControlClipboard(std::move(connection)));
}

DataControlClipboard::DataControlClipboard(std::unique_ptr<WaylandConnection> connection)
    : m_connection(std::move(connection)), m_state(std::make_unique<State>()) {
  m_state->connection = m_connection.get();
  m_state->device = zwlr_data_control_manager_v1_get_data_device(
      m_connection->globals().dataControlManager, m_connection->globals().seat);
  zwlr_data_control_device_v1_add_listener(m_state->device, &kDeviceListener, m_state.get());
  m_connection->Roundtrip();
  m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  m_thread = std::thread([this] { Serve(); });
}

DataControlClipboard::~DataControlClipboard() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopping = true;
  }
  Wake();
  m_thread.join();
  for (auto& [offer, types] : m_state->offers) zwlr_data_control_offer_v1_destroy(offer);
  m_state->offers.clear();
  m_state->DropSource();
  if (m_state->device) zwlr_data_control_device_v1_destroy(m_state->device);
  if (m_wakeFd >= 0) close(m_wakeFd);
}

void DataControlClipboard::Wake() {
  const uint64_t one = 1;
  if (m_wakeFd >= 0) (void)!write(m_wakeFd, &one, sizeof one);
}

void DataControlClipboard::Serve() {
  wl_display* display = m_connection->display();
  for (;;) {
    std::function<void()> work;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_stopping) return;
      if (!m_work.empty()) {
        work = std::move(m_work.front());
        m_work.pop_front();
      }
    }
    if (work) {
      work();
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_workDone;
      }
      m_finished.notify_all();
      continue;
    }
    if (!m_connection->alive()) {
      // Nothing to serve any more; work still gets answered (with failures).
      pollfd p{m_wakeFd, POLLIN, 0};
      poll(&p, 1, 1000);
      uint64_t count = 0;
      (void)!read(m_wakeFd, &count, sizeof count);
      continue;
    }
    if (wl_display_prepare_read(display) != 0) {
      wl_display_dispatch_pending(display);
      continue;
    }
    m_connection->Flush();
    int timeout = 1000;
    if (m_state->later) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(m_state->laterAt - Clock::now())
              .count();
      timeout = static_cast<int>(std::clamp<int64_t>(left, 0, 1000));
    }
    pollfd p[2] = {{wl_display_get_fd(display), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    const int ready = poll(p, 2, timeout);
    if (ready > 0 && (p[0].revents & (POLLIN | POLLERR | POLLHUP))) {
      wl_display_read_events(display);
    } else {
      wl_display_cancel_read(display);
    }
    wl_display_dispatch_pending(display);
    if (ready > 0 && (p[1].revents & POLLIN)) {
      uint64_t count = 0;
      (void)!read(m_wakeFd, &count, sizeof count);
    }
    if (m_state->later && Clock::now() >= m_state->laterAt) {
      const ClipboardContents contents = std::move(*m_state->later);
      SetSelection(*m_state, contents);
    }
  }
}

bool DataControlClipboard::Run(const std::function<void()>& work) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_work.push_back(work);
  const uint64_t ticket = ++m_workQueued;
  lock.unlock();
  Wake();
  lock.lock();
  // Each piece of work bounds its own waits; this only guards against a thread that is stuck.
  return m_finished.wait_for(lock, 4 * kTransferTime, [&] { return m_workDone >= ticket; });
}

std::optional<ClipboardContents> DataControlClipboard::Read() {
  // Shared with the thread: it outlives a caller that gave up waiting.
  auto result = std::make_shared<std::optional<ClipboardContents>>();
  State* state = m_state.get();
  const bool ran = Run([state, result] {
    WaylandConnection& connection = *state->connection;
    if (!connection.Roundtrip() || state->deviceGone) return;
    ClipboardContents contents;
    if (zwlr_data_control_offer_v1* offer = state->selection) {
      const std::vector<std::string> types = state->offers[offer];
      if (types.size() > kMaxFormats) return;
      size_t budget = kMaxBytes;
      for (const std::string& type : types) {
        std::optional<std::string> bytes = ReadFormat(*state, offer, type, budget);
        // The selection may change while it is read; only a complete copy counts.
        if (!bytes || state->selection != offer) return;
        budget -= bytes->size();
        contents.formats.emplace_back(type, std::move(*bytes));
      }
    }
    *result = std::move(contents);
  });
  if (!ran) return std::nullopt;
  return *result;
}

bool DataControlClipboard::Set(const ClipboardContents& contents) {
  auto ok = std::make_shared<bool>(false);
  State* state = m_state.get();
  const bool ran = Run([state, contents, ok] { *ok = SetSelection(*state, contents); });
  return ran && *ok;
}

bool DataControlClipboard::SetLater(const ClipboardContents& contents,
                                    std::chrono::milliseconds delay) {
  State* state = m_state.get();
  return Run([state, contents, delay] {
    state->later = contents;
    state->laterAt = Clock::now() + delay;
  });
}

bool DataControlClipboard::CancelLater() {
  auto cancelled = std::make_shared<bool>(false);
  State* state = m_state.get();
  const bool ran = Run([state, cancelled] {
    *cancelled = state->later.has_value();
    state->later.reset();
  });
  return ran && *cancelled;
}

std::optional<uint64_t> DataControlClipboard::WaitForReads(uint64_t reads,
                                                           std::chrono::milliseconds timeout) {
  auto result = std::make_shared<std::optional<uint64_t>>();
  State* state = m_state.get();
  const bool ran = Run([state, reads, timeout, result] {
    WaylandConnection& connection = *state->connection;
    connection.DispatchUntil([state, reads] { return state->taken > reads; }, timeout);
    if (connection.alive() && !state->deviceGone) *result = state->taken;
  });
  if (!ran) return std::nullopt;
  return *result;
}

}  // namespace morel_xy::wlroots
