#include "ttff_session.h"

#include "restart_commands.h"
#include "satellite_view.h"
#include "ttff_stats.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <unistd.h>

namespace ttff {

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double UnixNow() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace

void SetUpDecoder(CNMEAParser& parser, bool gnss) {
  // Without --gnss only the GPS talker (GP) is decoded.
  parser.ResetRecord();
  parser.SetGnssMode(gnss);
}

Session::Session(const Options& options, int stopFd, std::unique_ptr<ReceiverLink> link)
    : options_(options), stopFd_(stopFd), link_(std::move(link)), tty_(isatty(STDOUT_FILENO) == 1), settle_(options.settle) {
  SetUpDecoder(parser_, options_.gnss);
}

Session::~Session() {
  link_.reset();
  if (csv_) std::fclose(csv_);
}

bool Session::Open() {
  ReceiverLink::Handlers handlers;
  handlers.bytes = [this](const uint8_t* data, std::size_t size) { OnBytes(data, size); };
  handlers.sent = [this] { OnSent(); };
  handlers.gone = [this](const std::string& why) {
    if (gone_.empty()) gone_ = why;
  };
  std::string error;
  if (!link_->Open(std::move(handlers), error)) {
    std::fprintf(stderr, "quorvane-ttff: %s\n", error.c_str());
    return false;
  }
  // After the link, so that a port or source that will not open leaves no empty file.
  if (!options_.csv.empty()) {
    csv_ = std::fopen(options_.csv.c_str(), "w");
    if (!csv_) {
      std::fprintf(stderr, "quorvane-ttff: cannot create %s: %s\n", options_.csv.c_str(), std::strerror(errno));
      return false;
    }
    std::fputs("run,start_utc,command,first_fix_s,fix_3d_s,satellites_used,hdop,outcome\n", csv_);
    std::fflush(csv_);
  }
  return true;
}

void Session::OnSent() {
  if (phase_ != Phase::Sending) return;
  const double now = Now();
  commandWall_ = UnixNow();
  watch_.emplace(now, options_.timeout);
  phase_ = Phase::Watching;
  phaseStart_ = now;
}

void Session::OnBytes(const uint8_t* data, std::size_t size) {
  const double now = Now();
  // One byte at a time, so that each sentence is judged as it completes even
  // when a chunk holds several.
  for (std::size_t i = 0; i < size; ++i) {
    parser_.FeedBytes(reinterpret_cast<const char*>(data + i), 1);
    if (parser_.SentenceTotal == lastTotal_) continue;
    lastTotal_ = parser_.SentenceTotal;
    if (parser_.GgaSentences != lastGga_) {
      lastGga_ = parser_.GgaSentences;
      OnReport({FixReport::Gga, parser_.GgaQuality >= 1, false, parser_.GgaSatsUsed, parser_.GgaHdop}, now);
    }
    if (parser_.RmcSentences != lastRmc_) {
      lastRmc_ = parser_.RmcSentences;
      OnReport({FixReport::Rmc, parser_.RmcStatus == 'A', false, parser_.GgaSatsUsed, parser_.GgaHdop}, now);
    }
    if (parser_.GsaSentences != lastGsa_) {
      lastGsa_ = parser_.GsaSentences;
      // In GNSS mode each system has its own GSA; the epoch's union counts.
      const int used = parser_.GnssMode()
                           ? parser_.GnssUsed()
                           : static_cast<int>(std::count_if(std::begin(parser_.GsaActivePrn),
                                                            std::begin(parser_.GsaActivePrn) + 12,
                                                            [](uint16_t prn) { return prn != 0; }));
      OnReport({FixReport::Gsa, parser_.GsaFixType >= 2, parser_.GsaFixType == 3, used, parser_.GsaHdop}, now);
    }
  }
}

void Session::OnReport(const FixReport& report, double now) {
  settle_.OnReport(report, now);
  if (phase_ == Phase::Watching && watch_) {
    watch_->OnReport(report, now);
    if (watch_->outcome() != Outcome::Running) EndRun(watch_->outcome());
  }
}

void Session::SendCommand(double now) {
  ++run_;
  const std::string bytes = restart::CommandBytes(options_.chip, options_.start);
  phase_ = Phase::Sending;
  phaseStart_ = now;
  link_->Send(bytes);
}

void Session::Step(double now) {
  switch (phase_) {
    case Phase::Settling:
      if (settle_.Ready(now)) {
        SendCommand(now);
      } else if (now - phaseStart_ >= options_.timeout) {
        ClearProgress();
        std::printf("no 3D fix held for %g s within %g s to restart from; stopping\n", options_.settle,
                    options_.timeout);
        if (parser_.SentenceTotal > 0 && parser_.GgaSentences + parser_.RmcSentences + parser_.GsaSentences == 0)
          std::printf("the receiver sends sentences, but no GPGGA, GPRMC or GPGSA (other talkers need --gnss)\n");
        failed_ = true;
        phase_ = Phase::Done;
      }
      break;
    case Phase::Sending:
      if (now - phaseStart_ >= options_.timeout) EndRun(Outcome::TimedOut, "the command could not be sent");
      break;
    case Phase::Watching:
      watch_->OnTime(now);
      if (watch_->outcome() != Outcome::Running) EndRun(watch_->outcome());
      break;
    case Phase::Done:
      break;
  }
}

void Session::EndRun(Outcome outcome, const std::string& note) {
  ClearProgress();
  const std::string start(restart::StartName(options_.start));
  const std::optional<FixTime> first = watch_ ? watch_->firstFix() : std::nullopt;
  const std::optional<FixTime> threeD = watch_ ? watch_->fix3D() : std::nullopt;
  std::string line = "run " + std::to_string(run_) + "/" + std::to_string(options_.runs) + "  " + start + "  ";
  char part[120];
  const auto describe = [&](const char* label, const std::optional<FixTime>& t) {
    if (!t) return std::string(label) + " -";
    std::snprintf(part, sizeof part, "%s %.2f s (%d sats, HDOP %.2f)", label, t->seconds, t->satellites, t->hdop);
    return std::string(part);
  };
  const char* outcomeText = "fixed";
  if (outcome == Outcome::Fixed) {
    ++fixed_;
    line += describe("first fix", first) + "  " + describe("3D", threeD);
  } else if (outcome == Outcome::NotRestarted) {
    ++notRestarted_;
    outcomeText = "not restarted";
    std::snprintf(part, sizeof part, "not restarted: the fix did not drop within %g s of the command",
                  RunWatch::kRestartWindow);
    line += part;
  } else {
    ++timedOut_;
    outcomeText = "timed out";
    std::snprintf(part, sizeof part, "timed out after %g s", options_.timeout);
    line += part;
    if (!note.empty()) line += ": " + note;
    if (first) line += "  (" + describe("first fix", first) + ")";
  }
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  if (outcome != Outcome::Fixed) failed_ = true;
  if (outcome != Outcome::NotRestarted) {
    if (first) firstFixTimes_.push_back(first->seconds);
    if (threeD) fix3DTimes_.push_back(threeD->seconds);
  }
  if (csv_) {
    const std::optional<FixTime>& shown = threeD ? threeD : first;
    std::string row = std::to_string(run_) + "," + (watch_ ? UtcStamp(commandWall_) : "") + "," +
                      std::string(restart::ChipName(options_.chip)) + " " + start + ",";
    char value[32];
    const auto seconds = [&](const std::optional<FixTime>& t) {
      if (!t) return std::string();
      std::snprintf(value, sizeof value, "%.3f", t->seconds);
      return std::string(value);
    };
    row += seconds(first) + "," + seconds(threeD) + ",";
    if (shown) {
      std::snprintf(value, sizeof value, "%d,%.2f", shown->satellites, shown->hdop);
      row += value;
    } else {
      row += ",";
    }
    row += std::string(",") + outcomeText + "\n";
    std::fputs(row.c_str(), csv_);
    std::fflush(csv_);
  }
  watch_.reset();
  phaseStart_ = Now();
  phase_ = run_ >= options_.runs ? Phase::Done : Phase::Settling;
}

int Session::PollTimeoutMs(double now) const {
  double wait = 1.0;
  if (tty_) wait = std::min(wait, nextProgress_ - now);
  if (phase_ == Phase::Settling) {
    wait = std::min(wait, phaseStart_ + options_.timeout - now);
    if (const std::optional<double> at = settle_.ReadyAt()) wait = std::min(wait, *at - now);
  } else if (phase_ == Phase::Watching && watch_) {
    wait = std::min(wait, watch_->NextDeadline() - now);
  }
  return std::max(0, static_cast<int>(std::ceil(wait * 1000.0)));
}

void Session::ShowProgress(double now) {
  if (!tty_ || now < nextProgress_) return;
  nextProgress_ = now + 1.0;
  const SatelliteView sats(parser_);
  int bestSnr = 0;
  for (const GnssSat& sat : sats) bestSnr = std::max<int>(bestSnr, sat.Snr);
  // The run's number goes up when its command is sent.
  const bool settling = phase_ == Phase::Settling;
  const std::string what = settling ? "waiting for a 3D fix" : std::string(restart::StartName(options_.start)) + " start";
  std::printf("\r\033[Krun %ld/%ld  %s %.0f s  in view %d  used %d  best SNR %d dB", settling ? run_ + 1 : run_,
              options_.runs, what.c_str(), now - phaseStart_, sats.Count(), std::max<int>(0, parser_.GgaSatsUsed), bestSnr);
  std::fflush(stdout);
  progressShown_ = true;
}

void Session::ClearProgress() {
  if (!progressShown_) return;
  std::printf("\r\033[K");
  progressShown_ = false;
}

void Session::PrintSummary() {
  ClearProgress();
  std::printf("%ld runs: %ld fixed, %ld timed out, %ld not restarted\n", fixed_ + timedOut_ + notRestarted_, fixed_,
              timedOut_, notRestarted_);
  std::printf("%s\n", SummaryLine("first fix", Summarise(firstFixTimes_)).c_str());
  std::printf("%s\n", SummaryLine("3D fix", Summarise(fix3DTimes_)).c_str());
  std::fflush(stdout);
}

int Session::Run() {
  phaseStart_ = Now();
  while (phase_ != Phase::Done) {
    double now = Now();
    Step(now);
    if (phase_ == Phase::Done) break;
    ShowProgress(now);
    const ReceiverLink::Wake wake = link_->Wait(PollTimeoutMs(Now()), stopFd_);
    if (wake == ReceiverLink::Wake::Failed) break;
    if (wake == ReceiverLink::Wake::Stop) {
      interrupted_ = true;
      break;
    }
    if (!gone_.empty()) {
      ClearProgress();
      std::printf("%s; stopping\n", gone_.c_str());
      break;
    }
  }
  if (interrupted_) {
    ClearProgress();
    std::printf("interrupted\n");
  }
  PrintSummary();
  const bool complete = !interrupted_ && gone_.empty() && fixed_ == options_.runs;
  return complete && !failed_ ? 0 : 1;
}

}  // namespace ttff
