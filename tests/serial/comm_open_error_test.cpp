#include <gtest/gtest.h>

#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "comm.h"
#include "pty_pair.h"

namespace {

std::string StartError(const std::string& path) {
  TComm comm;
  comm.SetCommName(path);
  try {
    comm.StartComm();
  } catch (const ECommsError& e) {
    return e.what();
  }
  return "";
}

std::string OwnName() {
  std::ifstream comm("/proc/self/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

// Opens the port as the unprivileged user "nobody" in a child process and
// hands back the error text.
std::string StartErrorAsNobody(const std::string& path) {
  int fds[2];
  if (::pipe(fds) < 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(fds[0]);
    std::string text = "could not drop privileges";
    if (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0) text = StartError(path);
    [[maybe_unused]] ssize_t n = ::write(fds[1], text.data(), text.size());
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string text;
  char buffer[512];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
  ::close(fds[0]);
  ::waitpid(child, nullptr, 0);
  return text;
}

TEST(CommOpenError, TheSecondLineSaysWhyAndWhatToDo) {
  EXPECT_EQ(StartError("/nonexistent/ttyQV0"),
            "Error opening serial port\n/nonexistent/ttyQV0: No such file or directory");

  PtyPair pty;
  TComm holder;
  holder.SetCommName(pty.SlavePath());
  holder.StartComm();
  EXPECT_EQ(StartError(pty.SlavePath()), "Error opening serial port\n" + pty.SlavePath() + ": in use by " + OwnName() +
                                             " (pid " + std::to_string(::getpid()) + ")");
  holder.StopComm();

  if (::geteuid() != 0) GTEST_SKIP() << "permission denied needs root, to give the port away and open it as nobody";
  const group* dialout = ::getgrnam("dialout");
  if (dialout == nullptr) GTEST_SKIP() << "this system has no group dialout to give the port to";
  ASSERT_EQ(::chown(pty.SlavePath().c_str(), 0, dialout->gr_gid), 0);
  ASSERT_EQ(::chmod(pty.SlavePath().c_str(), 0660), 0);
  EXPECT_EQ(StartErrorAsNobody(pty.SlavePath()),
            "Error opening serial port\n" + pty.SlavePath() +
                ": Permission denied\nAdd your user to the group dialout (sudo usermod -aG dialout $USER), then log "
                "in again.");
}

}  // namespace
