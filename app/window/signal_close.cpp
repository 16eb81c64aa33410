#include "app/window/signal_close.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <utility>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

int WakeFds[2] = {-1, -1};

void WakeOnSignal(int signal) {
  // Only async-signal-safe calls here.
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  if (::write(WakeFds[1], &byte, 1) < 0) {
    // The pipe is full: a wake-up is already waiting.
  }
  errno = saved;
}

}  // namespace

SignalCloser::SignalCloser(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), CloseWindow(std::move(onSignal)) {
  if (::pipe2(WakeFds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  Notifier = new QSocketNotifier(WakeFds[0], QSocketNotifier::Read, this);
  connect(Notifier, &QSocketNotifier::activated, this, [this] { Drain(); });
  struct sigaction action {};
  action.sa_handler = &WakeOnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kSignals) ::sigaction(signal, &action, nullptr);
}

SignalCloser::~SignalCloser() {
  for (int signal : kSignals) std::signal(signal, SIG_DFL);
  delete Notifier;
  for (int& fd : WakeFds) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void SignalCloser::Drain() {
  char bytes[16];
  while (::read(WakeFds[0], bytes, sizeof bytes) > 0) {
  }
  if (Handled) return;
  Handled = true;
  CloseWindow();
}
