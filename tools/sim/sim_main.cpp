#include "cycle_source.h"
#include "nmea_playback.h"
#include "sim_options.h"
#include "sim_runner.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

int stopPipe[2] = {-1, -1};

void onStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(stopPipe[1], &byte, 1);
}

int fail(int status, const std::string& message)
{
    std::fprintf(stderr, "quorvane-sim: %s\n", message.c_str());
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace qvsim;
    const ParseResult parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (std::holds_alternative<HelpRequested>(parsed)) {
        std::fputs(helpText().c_str(), stdout);
        return 0;
    }
    if (const auto* error = std::get_if<OptionError>(&parsed))
        return fail(2, error->message + " (see --help)");
    SimOptions options = std::get<SimOptions>(parsed);

    std::unique_ptr<CycleSource> source;
    if (!options.playFile.empty()) {
        std::ifstream in(options.playFile, std::ios::binary);
        if (!in)
            return fail(2, "cannot open " + options.playFile + ": " + std::strerror(errno));
        std::ostringstream text;
        text << in.rdbuf();
        std::vector<PlaybackCycle> cycles = splitRecording(text.str());
        if (cycles.empty())
            return fail(2, options.playFile + " holds no NMEA lines");
        source = std::make_unique<RecordingPlayer>(std::move(cycles), options.rate, options.loop);
    } else {
        source = std::make_unique<SimulatedReceiver>(options.world, !options.startTimeGiven);
    }

    if (pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail(1, std::string("cannot create a pipe: ") + std::strerror(errno));
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    SimRunner runner(options, std::move(source), stopPipe[0]);
    std::string error;
    if (!runner.start(error))
        return fail(1, error);
    return runner.run();
}
