#include "sim_runner.h"

#include "net_device.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace qvsim {

namespace {

// How often the device is checked for a listener while nobody has it open: the
// master polls as hung up then, so it cannot wait in poll.
constexpr int kListenerCheckMs = 20;
// Bytes are handed to the device a few at a time: a wake-up per byte would cost
// a thousand wake-ups a second at 9600 baud for no difference a reader can see.
constexpr std::size_t kWriteBatch = 8;
// A command without its line end is judged after this much quiet.
constexpr double kInputIdleSeconds = 1.0;
// At the end, how long the last sentences may wait for the listener to read them
// before closing the device (a close hangs up the slave and discards them).
constexpr double kLingerSeconds = 2.0;

void report(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

}  // namespace

SimRunner::SimRunner(const SimOptions& options, std::unique_ptr<CycleSource> source, int stopFd)
    : options_(options), source_(std::move(source)), stopFd_(stopFd), pacer_(options.baud),
      faults_(options.faults, options.world.seed), lastInput_(Clock::now())
{
    if (!options.tcpListen.empty())
        device_ = std::make_unique<TcpServerDevice>(options.tcpListen);
    else if (!options.udpTarget.empty())
        device_ = std::make_unique<UdpSenderDevice>(options.udpTarget);
    else
        device_ = std::make_unique<PtyDevice>();
}

SimRunner::~SimRunner()
{
    if (transcript_)
        std::fclose(transcript_);
}

bool SimRunner::start(std::string& error)
{
    if (!options_.transcript.empty()) {
        transcript_ = std::fopen(options_.transcript.c_str(), "wb");
        if (!transcript_) {
            error = "cannot create " + options_.transcript + ": " + std::strerror(errno);
            return false;
        }
    }
    if (!device_->open(options_.baud, error))
        return false;
    std::printf("%s\n", device_->path().c_str());
    std::fflush(stdout);
    if (!options_.waitOpen)
        begin();
    return true;
}

// Only at real pace does the first cycle wait for the clock's next whole second;
// faster runs start at once.
void SimRunner::begin()
{
    const double wait = source_->begin();
    started_ = true;
    startWall_ = Clock::now();
    if (options_.pace == 1.0)
        startWall_ += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(wait));
}

double SimRunner::simNow() const
{
    if (!started_)
        return 0.0;
    return std::chrono::duration<double>(Clock::now() - startWall_).count() * options_.pace;
}

void SimRunner::updateListener()
{
    const bool now = device_->hasListener();
    // A listener may open the device, write a command and close it again between
    // two checks; what it wrote waits in the master's queue all the same.
    if (!now)
        readCommands();
    if (now == listening_)
        return;
    listening_ = now;
    blocked_ = false;
    if (now) {
        report("device opened");
        if (!started_)
            begin();
    } else {
        report("device closed");
        pacer_.clear(simNow());
        if (!device_->discardUnread() && errno == EBUSY)
            report("warning: the device was left marked exclusive (TIOCEXCL); only root can open it again");
    }
}

bool SimRunner::inStall(double t) const
{
    return options_.stallAfter && t >= *options_.stallAfter && t < *options_.stallAfter + options_.stallFor;
}

void SimRunner::updateStall(double now)
{
    const bool stall = inStall(now);
    if (stall != stalled_)
        report(stall ? "stall: output paused" : "stall: output resumed");
    stalled_ = stall;
}

void SimRunner::emitDue(double now)
{
    while (!finishing_) {
        const std::optional<double> at = source_->nextAt();
        if (!at) {
            finishing_ = true;
            break;
        }
        if (*at > now)
            break;
        bool endsCycle = false;
        const std::vector<std::string> lines = source_->take(endsCycle);
        // Judged at the batch's own time, so a late wake-up cannot let a cycle
        // of the stall through.
        if (listening_ && !inStall(*at)) {
            // More than a second of line time still queued: the baud rate cannot
            // carry the cycle (or the listener stopped reading), so the cycle is lost.
            if (static_cast<double>(pacer_.pending()) > pacer_.bytesPerSecond()) {
                if (!warnedSlowLine_)
                    report("warning: " + std::to_string(options_.baud)
                           + " baud cannot carry the output (or the listener is not reading); cycles are dropped");
                warnedSlowLine_ = true;
            } else {
                for (const std::string& line : lines)
                    pacer_.push(faults_.active() ? faults_.apply(line) : line, *at);
            }
        }
        if (endsCycle && listening_)
            checkListenerBaud();
        if (endsCycle && options_.cycles > 0 && ++cyclesDone_ >= options_.cycles)
            finishing_ = true;
    }
}

// A real line garbles everything when the two ends disagree on the speed; here the
// bytes arrive anyway, so the mismatch is reported once per setting instead.
void SimRunner::checkListenerBaud()
{
    const int baud = device_->listenerBaud();
    if (baud == reportedBaud_)
        return;
    reportedBaud_ = baud;
    if (baud != 0 && baud != options_.baud)
        report("note: the device is set to " + std::to_string(baud) + " baud; the receiver sends at "
               + std::to_string(options_.baud));
}

void SimRunner::writeDue(double now)
{
    if (!listening_ || stalled_ || blocked_)
        return;
    const std::size_t due = pacer_.due(now);
    if (due == 0)
        return;
    std::size_t written = 0;
    const WriteResult result = device_->write(pacer_.pendingBytes().data(), due, written);
    if (transcript_ && written > 0) {
        std::fwrite(pacer_.pendingBytes().data(), 1, written, transcript_);
        std::fflush(transcript_);
    }
    pacer_.consume(written);
    if (result == WriteResult::Busy)
        blocked_ = true;
    else if (result == WriteResult::NoListener)
        updateListener();
}

void SimRunner::readCommands()
{
    std::uint8_t buffer[512];
    std::vector<CommandEvent> events;
    for (;;) {
        const ssize_t n = device_->read(buffer, sizeof buffer);
        if (n <= 0)
            break;
        lastInput_ = Clock::now();
        commands_.feed(buffer, static_cast<std::size_t>(n), events);
    }
    handle(events);
}

void SimRunner::handle(const std::vector<CommandEvent>& events)
{
    for (const CommandEvent& e : events) {
        switch (e.kind) {
        case CommandKind::Restart: {
            const std::string what = std::string(startName(e.start)) + " start: " + e.chip;
            if (options_.ignoreRestarts) {
                report("ignored input: " + what + " (--ignore-restarts)");
                break;
            }
            report(what);
            if (const std::optional<double> seconds = source_->restart(simNow(), e.start)) {
                char text[64];
                std::snprintf(text, sizeof text, "acquiring: 3D fix in %.2f s", *seconds);
                report(text);
            }
            break;
        }
        case CommandKind::Ignored:
            report("ignored input: " + e.detail);
            break;
        }
    }
}

int SimRunner::pollTimeoutMs(double now) const
{
    double wait = 1.0;  // seconds of wall time
    if (!started_ || !listening_)
        wait = kListenerCheckMs / 1000.0;
    if (started_ && !finishing_)
        if (const std::optional<double> at = source_->nextAt())
            wait = std::min(wait, (*at - now) / options_.pace);
    if (listening_ && !blocked_ && pacer_.pending() > 0 && !stalled_)
        wait = std::min(wait, (pacer_.dueAt(std::min<std::size_t>(pacer_.pending(), kWriteBatch)) - now) / options_.pace);
    if (options_.stallAfter && !stalled_ && now < *options_.stallAfter)
        wait = std::min(wait, (*options_.stallAfter - now) / options_.pace);
    if (stalled_)
        wait = std::min(wait, (*options_.stallAfter + options_.stallFor - now) / options_.pace);
    if (options_.hangupAfter)
        wait = std::min(wait, (*options_.hangupAfter - now) / options_.pace);
    if (commands_.pending())
        wait = std::min(wait, kInputIdleSeconds - std::chrono::duration<double>(Clock::now() - lastInput_).count());
    return std::max(0, static_cast<int>(std::ceil(wait * 1000.0)));
}

int SimRunner::run()
{
    while (!stopRequested_) {
        updateListener();
        double now = simNow();
        if (started_ && options_.hangupAfter && now >= *options_.hangupAfter) {
            report("hang-up: closing the device");
            device_->close();
            return 0;
        }
        if (started_) {
            updateStall(now);
            emitDue(now);
            writeDue(now);
        }
        if (finishing_ && (pacer_.pending() == 0 || !listening_))
            break;
        if (commands_.pending()
            && std::chrono::duration<double>(Clock::now() - lastInput_).count() >= kInputIdleSeconds) {
            std::vector<CommandEvent> events;
            commands_.flush(events);
            handle(events);
        }

        pollfd fds[2] = {{stopFd_, POLLIN, 0}, {device_->fd(), 0, 0}};
        if (listening_)
            fds[1].events = static_cast<short>(POLLIN | (blocked_ ? POLLOUT : 0));
        const int count = listening_ ? 2 : 1;
        if (poll(fds, static_cast<nfds_t>(count), pollTimeoutMs(now)) < 0)
            continue;
        if (fds[0].revents & POLLIN)
            stopRequested_ = true;
        if (count == 2 && (fds[1].revents & POLLOUT))
            blocked_ = false;
        if (count == 2 && (fds[1].revents & POLLIN))
            readCommands();
    }
    if (!stopRequested_)
        linger();
    device_->close();
    return 0;
}

// The last sentences are in the slave's queue; closing the master now would throw
// them away, so wait until the listener has read them, has gone, or time is up.
// The kernel hands written bytes to the slave's queue a moment later, so an empty
// queue counts only when it is seen empty several times after a short wait.
void SimRunner::linger()
{
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kLingerSeconds));
    int emptyReadings = 0;
    while (Clock::now() < deadline && device_->hasListener()) {
        const long unread = device_->unreadByListener();
        emptyReadings = unread == 0 ? emptyReadings + 1 : 0;
        if (emptyReadings >= 3 && Clock::now() - start >= std::chrono::milliseconds(100))
            break;
        pollfd fds[2] = {{stopFd_, POLLIN, 0}, {device_->fd(), POLLIN, 0}};
        poll(fds, 2, 20);
        if (fds[0].revents & POLLIN)
            break;
        if (fds[1].revents & POLLIN)
            readCommands();
    }
    readCommands();
    std::vector<CommandEvent> events;
    commands_.flush(events);
    handle(events);
}

}  // namespace qvsim
