#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace simtest {

// quorvane-sim started as a child with its standard output and error captured.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The first line of standard output, or empty if none came within the timeout.
    std::string readLine(std::chrono::milliseconds timeout);
    // Waits for the exit (killing the child after the timeout) and collects the
    // rest of both outputs; -1 when it had to be killed.
    int wait(std::chrono::milliseconds timeout);
    void signal(int sig);
    const std::string& stdoutText() const { return out_; }
    const std::string& stderrText() const { return err_; }

private:
    void drain(int fd, std::string& into);

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
};

// Runs the simulator to its end and returns its exit status (-1 if killed).
int runSim(const std::vector<std::string>& args, std::string* out, std::string* err,
           std::chrono::milliseconds timeout = std::chrono::seconds(20));

}  // namespace simtest
