#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// The viewer's remembered settings, every key and its default in one place.
// With no settings file every default is the window's own; a setting that
// cannot be read or written never stops the viewer (QSettings reports no
// errors, and an unreadable value reads as its default).

// The user's configuration file (~/.config/quorvane/quorvane-viewer.conf), or
// the file given to SetSettingsFile: tests point it at a scratch file so they
// never touch the user's own.
void SetSettingsFile(const QString& path);
std::unique_ptr<QSettings> OpenSettings();

// Whether GNSS mode was on when the user last switched it (default off).
bool GnssModeSetting();
void SaveGnssModeSetting(bool on);

// The statistics window's size and place (QWidget::saveGeometry); empty: not yet placed.
QByteArray StatsGeometrySetting();
void SaveStatsGeometrySetting(const QByteArray& geometry);

// The statistics window's reference: the mean (default) or the fixed point,
// whose fields are kept as typed.
struct StatsReferenceSetting {
  bool Fixed = false;
  QString Lat, Lon, Alt;
};
StatsReferenceSetting StatsReferenceSettingValue();
void SaveStatsReferenceSetting(const StatsReferenceSetting& reference);

// The network sources last typed into the port box, the latest first (default none).
QStringList RecentSourcesSetting();
void SaveRecentSourcesSetting(const QStringList& sources);
