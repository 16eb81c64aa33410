#include "serial_link.h"
#include "ttff_options.h"
#include "ttff_session.h"
#ifdef QV_WITH_SOURCES
#include "network_link.h"
#endif

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int stopPipe[2] = {-1, -1};

void OnStopSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = write(stopPipe[1], &byte, 1);
}

std::unique_ptr<ttff::ReceiverLink> MakeLink(const ttff::Options& options) {
#ifdef QV_WITH_SOURCES
  if (ttff::IsNetworkSource(options.port)) return ttff::MakeNetworkLink(options.port);
#endif
  return std::make_unique<ttff::SerialLink>(options.port, options.baud);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ttff;
  const ParseResult parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto status = tool_options::AnswerWithoutRunning(parsed, "quorvane-ttff", QV_VERSION, HelpText())) {
    return *status;
  }
  if (pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    std::perror("quorvane-ttff: pipe");
    return 2;
  }
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  const Options& options = std::get<Options>(parsed);
  Session session(options, stopPipe[0], MakeLink(options));
  if (!session.Open()) return 2;
  return session.Run();
}
