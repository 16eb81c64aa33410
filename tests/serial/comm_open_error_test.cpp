#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "comm.h"
#include "pty_pair.h"

namespace {

// In a child process, as the user nobody when `asNobody`; the error text.
std::string StartError(const std::string& path, bool asNobody = false) {
  int fds[2];
  if (::pipe(fds) < 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    std::string text = "could not become nobody";
    if (!asNobody || (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0)) {
      TComm comm;
      comm.SetCommName(path);
      try {
        comm.StartComm();
        text = "opened";
      } catch (const ECommsError& e) {
        text = e.what();
      }
    }
    [[maybe_unused]] ssize_t n = ::write(fds[1], text.data(), text.size());
    ::_exit(0);
  }
  ::close(fds[1]);
  char buffer[512];
  const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
  ::close(fds[0]);
  ::waitpid(child, nullptr, 0);
  return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

TEST(CommOpenError, TheReasonNamesTheHolderOrTheGroupToJoin) {
  PtyPair pty;
  TComm holder;
  holder.SetCommName(pty.SlavePath());
  holder.StartComm();
  EXPECT_EQ(StartError(pty.SlavePath()), "Error opening serial port\n" + pty.SlavePath() + ": in use by " +
                                             program_invocation_short_name + " (pid " + std::to_string(::getpid()) + ")");
  holder.StopComm();

  if (::geteuid() != 0) GTEST_SKIP() << "permission denied needs root, to give the port away and open it as nobody";
  const group* dialout = ::getgrnam("dialout");
  if (dialout == nullptr) GTEST_SKIP() << "this system has no group dialout to give the port to";
  ASSERT_EQ(::chown(pty.SlavePath().c_str(), 0, dialout->gr_gid), 0);
  ASSERT_EQ(::chmod(pty.SlavePath().c_str(), 0660), 0);
  EXPECT_EQ(StartError(pty.SlavePath(), true),
            "Error opening serial port\n" + pty.SlavePath() +
                ": Permission denied\nAdd your user to the group dialout (sudo usermod -aG dialout $USER), then log "
                "in again.");
}

}  // namespace
