#include "app/settings/settings.h"

namespace {

QString& SettingsFile() {
  static QString path;
  return path;
}

// The keys, with their defaults beside them in the accessors below.
constexpr const char* kGnssModeKey = "decoder/gnssMode";
constexpr const char* kRecentSourcesKey = "portBox/recentSources";

}  // namespace

void SetSettingsFile(const QString& path) { SettingsFile() = path; }

std::unique_ptr<QSettings> OpenSettings() {
  if (!SettingsFile().isEmpty()) return std::make_unique<QSettings>(SettingsFile(), QSettings::IniFormat);
  return std::make_unique<QSettings>(QStringLiteral("quorvane"), QStringLiteral("quorvane-viewer"));
}

bool GnssModeSetting() { return OpenSettings()->value(QLatin1String(kGnssModeKey), false).toBool(); }

void SaveGnssModeSetting(bool on) { OpenSettings()->setValue(QLatin1String(kGnssModeKey), on); }

QStringList RecentSourcesSetting() { return OpenSettings()->value(QLatin1String(kRecentSourcesKey)).toStringList(); }

void SaveRecentSourcesSetting(const QStringList& sources) {
  OpenSettings()->setValue(QLatin1String(kRecentSourcesKey), sources);
}
