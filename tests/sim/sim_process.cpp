#include "sim_process.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace simtest {

SimProcess::SimProcess(const std::vector<std::string>& args)
{
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::vector<std::string> all = {QV_SIM_BINARY};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, QV_SIM_BINARY, &actions, nullptr, argv.data(), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    outFd_ = out[0];
    errFd_ = err[0];
}

SimProcess::~SimProcess()
{
    if (pid_ > 0)
        wait(std::chrono::milliseconds(0));
    if (outFd_ >= 0)
        close(outFd_);
    if (errFd_ >= 0)
        close(errFd_);
}

void SimProcess::drain(int fd, std::string& into)
{
    char buf[4096];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 0) <= 0)
            return;
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0)
            return;
        into.append(buf, static_cast<std::size_t>(n));
    }
}

std::string SimProcess::readLine(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (out_.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return {};
        pollfd p{outFd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char c;
        if (read(outFd_, &c, 1) != 1)
            return {};
        out_ += c;
    }
    return out_.substr(0, out_.find('\n'));
}

void SimProcess::signal(int sig)
{
    if (pid_ > 0)
        kill(pid_, sig);
}

int SimProcess::wait(std::chrono::milliseconds timeout)
{
    if (pid_ <= 0)
        return -1;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        drain(outFd_, out_);
        drain(errFd_, err_);
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_)
            break;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            pid_ = -1;
            return -1;
        }
        usleep(5000);
    }
    pid_ = -1;
    drain(outFd_, out_);
    drain(errFd_, err_);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int runSim(const std::vector<std::string>& args, std::string* out, std::string* err, std::chrono::milliseconds timeout)
{
    SimProcess sim(args);
    const int status = sim.wait(timeout);
    if (out)
        *out = sim.stdoutText();
    if (err)
        *err = sim.stderrText();
    return status;
}

}  // namespace simtest
