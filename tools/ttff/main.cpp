#include "ttff_options.h"
#include "ttff_session.h"

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

  Session session(std::get<Options>(parsed), stopPipe[0]);
  if (!session.Open()) return 2;
  return session.Run();
}
