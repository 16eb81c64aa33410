#include "gnss_mode.h"

namespace {

QString& SettingsFile() {
  static QString path;
  return path;
}

constexpr const char* kGnssKey = "decoder/gnssMode";

}  // namespace

void SetSettingsFile(const QString& path) { SettingsFile() = path; }

std::unique_ptr<QSettings> OpenSettings() {
  if (!SettingsFile().isEmpty()) return std::make_unique<QSettings>(SettingsFile(), QSettings::IniFormat);
  return std::make_unique<QSettings>(QStringLiteral("quorvane"), QStringLiteral("quorvane-viewer"));
}

bool GnssModeSetting() { return OpenSettings()->value(QLatin1String(kGnssKey), false).toBool(); }

void SaveGnssModeSetting(bool on) { OpenSettings()->setValue(QLatin1String(kGnssKey), on); }

void GnssOfferWatch::Start(uint32_t gpSentences, uint32_t otherSentences) {
  watching_ = !asked_;
  gpBase_ = gpSentences;
  otherBase_ = otherSentences;
}

bool GnssOfferWatch::Due(uint32_t gpSentences, uint32_t otherSentences, int64_t elapsedMs) {
  if (!watching_) return false;
  // The record's reset on connecting clears the counters: count from there.
  if (gpSentences < gpBase_ || otherSentences < otherBase_) gpBase_ = otherBase_ = 0;
  if (elapsedMs > kWindowMs || gpSentences != gpBase_) {
    watching_ = false;
    return false;
  }
  if (otherSentences - otherBase_ < kOtherSentences) return false;
  watching_ = false;
  asked_ = true;
  return true;
}
