#include "app/settings/settings.h"

namespace {

QString& SettingsFile() {
  static QString path;
  return path;
}

// The keys, with their defaults beside them in the accessors below.
constexpr const char* kGnssModeKey = "decoder/gnssMode";
constexpr const char* kStatsGeometryKey = "statistics/geometry";
constexpr const char* kStatsFixedKey = "statistics/referenceFixed";
constexpr const char* kStatsLatKey = "statistics/fixedLatitude";
constexpr const char* kStatsLonKey = "statistics/fixedLongitude";
constexpr const char* kStatsAltKey = "statistics/fixedAltitude";
constexpr const char* kRecentSourcesKey = "portBox/recentSources";

}  // namespace

void SetSettingsFile(const QString& path) { SettingsFile() = path; }

std::unique_ptr<QSettings> OpenSettings() {
  if (!SettingsFile().isEmpty()) return std::make_unique<QSettings>(SettingsFile(), QSettings::IniFormat);
  return std::make_unique<QSettings>(QStringLiteral("quorvane"), QStringLiteral("quorvane-viewer"));
}

bool GnssModeSetting() { return OpenSettings()->value(QLatin1String(kGnssModeKey), false).toBool(); }

void SaveGnssModeSetting(bool on) { OpenSettings()->setValue(QLatin1String(kGnssModeKey), on); }

QByteArray StatsGeometrySetting() { return OpenSettings()->value(QLatin1String(kStatsGeometryKey)).toByteArray(); }

void SaveStatsGeometrySetting(const QByteArray& geometry) {
  OpenSettings()->setValue(QLatin1String(kStatsGeometryKey), geometry);
}

StatsReferenceSetting StatsReferenceSettingValue() {
  const auto settings = OpenSettings();
  return {settings->value(QLatin1String(kStatsFixedKey), false).toBool(),
          settings->value(QLatin1String(kStatsLatKey)).toString(),
          settings->value(QLatin1String(kStatsLonKey)).toString(),
          settings->value(QLatin1String(kStatsAltKey)).toString()};
}

void SaveStatsReferenceSetting(const StatsReferenceSetting& reference) {
  const auto settings = OpenSettings();
  settings->setValue(QLatin1String(kStatsFixedKey), reference.Fixed);
  settings->setValue(QLatin1String(kStatsLatKey), reference.Lat);
  settings->setValue(QLatin1String(kStatsLonKey), reference.Lon);
  settings->setValue(QLatin1String(kStatsAltKey), reference.Alt);
}

QStringList RecentSourcesSetting() { return OpenSettings()->value(QLatin1String(kRecentSourcesKey)).toStringList(); }

void SaveRecentSourcesSetting(const QStringList& sources) {
  OpenSettings()->setValue(QLatin1String(kRecentSourcesKey), sources);
}
