#pragma once

#include "nmea_parser.h"
#include "receiver_link.h"
#include "run_watch.h"
#include "ttff_options.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ttff {

// Sets the decoder up for the talkers the user asked for.
void SetUpDecoder(CNMEAParser& parser, bool gnss);

// Restarts the receiver --runs times and measures each restart; owns the link.
class Session {
 public:
  // `stopFd` becomes readable when the user asks to stop (SIGINT).
  Session(const Options& options, int stopFd, std::unique_ptr<ReceiverLink> link);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Opens the link and the CSV file; on failure prints why and returns false.
  bool Open();
  // Runs to the end; returns the exit status.
  int Run();

 private:
  enum class Phase { Settling, Sending, Watching, Done };

  void OnBytes(const uint8_t* data, std::size_t size);
  void OnSent();
  void OnReport(const FixReport& report, double now);
  void Step(double now);
  void SendCommand(double now);
  void EndRun(Outcome outcome, const std::string& note = {});
  int PollTimeoutMs(double now) const;
  void ShowProgress(double now);
  void ClearProgress();
  void PrintSummary();

  Options options_;
  int stopFd_;
  std::unique_ptr<ReceiverLink> link_;
  CNMEAParser parser_;
  std::FILE* csv_ = nullptr;
  bool tty_ = false;
  bool progressShown_ = false;
  double nextProgress_ = 0.0;

  Phase phase_ = Phase::Settling;
  long run_ = 0;  // 1-based number of the current run
  double phaseStart_ = 0.0;
  double commandWall_ = 0.0;  // Unix time of the command, for the CSV
  std::string gone_;  // set once the receiver cannot be reached: the line that says so
  bool interrupted_ = false;
  bool failed_ = false;  // a run timed out or was not restarted
  SettleWatch settle_;
  std::optional<RunWatch> watch_;

  uint32_t lastTotal_ = 0;
  uint32_t lastGga_ = 0;
  uint32_t lastRmc_ = 0;
  uint32_t lastGsa_ = 0;

  std::vector<double> firstFixTimes_;
  std::vector<double> fix3DTimes_;
  long fixed_ = 0;
  long timedOut_ = 0;
  long notRestarted_ = 0;
};

}  // namespace ttff
