#include "open_failure.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <grp.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

namespace {

std::string GroupName(gid_t gid) {
  std::vector<char> buffer(4096);
  group entry{};
  group* found = nullptr;
  if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) return {};
  return found->gr_name;
}

// Joining the device's group helps only when that group may read and write
// it; root's group is no group to hand out.
std::string JoinGroupHint(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) < 0 || st.st_gid == 0) return {};
  if ((st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) return {};
  const std::string group = GroupName(st.st_gid);
  if (group.empty()) return {};
  return "\nAdd your user to the group " + group + " (sudo usermod -aG " + group + " $USER), then log in again.";
}

std::string ProgramName(pid_t pid) {
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

}  // namespace

std::string SystemErrorText(int error) {
  char buffer[256];
  // The GNU strerror_r may answer with a static text instead of the buffer.
  return ::strerror_r(error, buffer, sizeof buffer);
}

pid_t LockHolder(const std::string& path, const std::string& locksFile) {
  struct stat st {};
  if (::stat(path.c_str(), &st) < 0) return -1;
  std::ifstream locks(locksFile);
  std::string line;
  // "1: FLOCK  ADVISORY  WRITE 4242 00:18:3 0 EOF": the device of the file's
  // file system in hexadecimal, then its inode. Waiters ("1: -> FLOCK ...")
  // hold nothing.
  while (std::getline(locks, line)) {
    std::istringstream in(line);
    std::string id, kind, mode, access, where;
    long pid = -1;
    if (!(in >> id >> kind) || kind == "->") continue;
    if (!(in >> mode >> access >> pid >> where)) continue;
    unsigned major = 0, minor = 0;
    unsigned long long inode = 0;
    if (std::sscanf(where.c_str(), "%x:%x:%llu", &major, &minor, &inode) != 3) continue;
    if (major == ::major(st.st_dev) && minor == ::minor(st.st_dev) && inode == st.st_ino && pid > 0)
      return static_cast<pid_t>(pid);
  }
  return -1;
}

std::string DescribeOpenFailure(const std::string& path, int error) {
  if (error == 0) return path + ": cannot be opened";
  if (error == EACCES || error == EPERM) return path + ": " + SystemErrorText(error) + JoinGroupHint(path);
  if (error == EBUSY || error == EWOULDBLOCK) {
    const pid_t holder = LockHolder(path);
    if (holder > 0) {
      const std::string name = ProgramName(holder);
      return path + ": in use by " + (name.empty() ? "another program" : name) + " (pid " + std::to_string(holder) +
             ")";
    }
    // An exclusive flag left behind by a program that ended looks the same.
    return path + ": in use by another program (" + SystemErrorText(EBUSY) + ")";
  }
  return path + ": " + SystemErrorText(error);
}
