#pragma once

#include "byte_pacer.h"
#include "command_listener.h"
#include "cycle_source.h"
#include "fault_injector.h"
#include "pty_device.h"
#include "sim_options.h"

#include <chrono>
#include <cstdio>
#include <memory>

namespace qvsim {

// The simulator's event loop: emits the source's batches on the device at their
// times, paced by the baud rate, listens for commands, and applies the faults.
class SimRunner {
public:
    // `stopFd` becomes readable when the process is asked to stop.
    SimRunner(const SimOptions& options, std::unique_ptr<CycleSource> source, int stopFd);
    ~SimRunner();

    // Opens the device and prints its path; false (with `error`) if that fails.
    bool start(std::string& error);
    // Runs until the end; returns the exit status.
    int run();

private:
    using Clock = std::chrono::steady_clock;

    void begin();
    double simNow() const;
    void updateListener();
    bool inStall(double t) const;
    void updateStall(double now);
    void emitDue(double now);
    void writeDue(double now);
    void checkListenerBaud();
    void readCommands();
    void handle(const std::vector<CommandEvent>& events);
    void linger();
    int pollTimeoutMs(double now) const;

    SimOptions options_;
    std::unique_ptr<CycleSource> source_;
    int stopFd_;
    std::unique_ptr<OutputDevice> device_;
    BytePacer pacer_;
    FaultInjector faults_;
    CommandListener commands_;
    std::FILE* transcript_ = nullptr;

    bool started_ = false;
    Clock::time_point startWall_;
    Clock::time_point lastInput_;
    bool listening_ = false;
    bool blocked_ = false;
    bool stalled_ = false;
    bool finishing_ = false;
    bool stopRequested_ = false;
    bool warnedSlowLine_ = false;
    long long cyclesDone_ = 0;
    int reportedBaud_ = 0;
};

}  // namespace qvsim
