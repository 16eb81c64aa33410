#include "app/stats/now/now_tab.h"

#include <QFormLayout>

#include "app/stats/now/fix_quality_text.h"
#include "app/stats/value_rows.h"
#include "nmea_parser.h"

namespace {

// An empty DOP field reads as 0, which no receiver sends for a real one.
QString Dop(double value) { return ValueOrDash(value > 0.0, QString::number(value, 'f', 2)); }

QString AltitudeUnit(char unit) {
  switch (unit) {
    case 'M':
      return QStringLiteral(" m");
    case 'F':
      return QStringLiteral(" ft");
    case '\0':
      return {};
    default:
      return QStringLiteral(" ") + QLatin1Char(unit);
  }
}

}  // namespace

NowTab::NowTab(QWidget* parent) : StatsTab(parent) {
  auto* form = new QFormLayout(this);
  static constexpr std::array<const char*, kRowCount> kNames = {
      "Fix quality", "Satellites used", "Satellites in view", "PDOP", "HDOP", "VDOP",
      "Altitude",    "Course",          "Age of last fix"};
  for (int row = 0; row < kRowCount; ++row) {
    values_[static_cast<size_t>(row)] =
        AddValueRow(*form, QString::fromLatin1(kNames[static_cast<size_t>(row)]));
  }
}

void NowTab::Refresh(const StatsContext& now) {
  const CNMEAParser& r = now.Parser;
  const Clock::time_point t = Clock::now();
  NoteFix(r, t);
  const bool gga = r.GgaSentences != 0;
  const auto sent = [&](GgaSent::Field f) { return gga && (r.GgaFieldsSent & f) != 0; };
  values_[Quality]->setText(ValueOrDash(sent(GgaSent::kQuality), FixQualityText(r.GgaQuality)));
  const bool gnss = r.GnssMode();
  const bool gsa = r.GsaSentences != 0;
  values_[Used]->setText(
      gnss ? ValueOrDash(gsa, QString::number(r.GnssUsed()))
           : ValueOrDash(sent(GgaSent::kSatsUsed), QString::number(r.GgaSatsUsed)));
  // GNSS mode's list is empty until some talker's GSV came.
  values_[InView]->setText(ValueOrDash(r.GsvSentences != 0 || r.GnssInView() != 0,
                                       QString::number(gnss ? r.GnssInView() : r.GsvInView)));
  values_[Pdop]->setText(Dop(gsa ? r.GsaPdop : 0.0));
  // Without a GSA the GGA still sends the HDOP.
  values_[Hdop]->setText(gsa && r.GsaHdop > 0.0 ? Dop(r.GsaHdop)
                                                : Dop(sent(GgaSent::kHdop) ? r.GgaHdop : 0.0));
  values_[Vdop]->setText(Dop(gsa ? r.GsaVdop : 0.0));
  values_[Altitude]->setText(
      ValueOrDash(sent(GgaSent::kAltitude),
                  QString::number(r.GgaAltitude, 'f', 1) + AltitudeUnit(r.GgaAltitudeUnit)));
  values_[Course]->setText(ValueOrDash(r.RmcSentences != 0 && r.RmcTrackSent,
                                       QString::number(r.RmcTrack, 'f', 1) + QChar(0x00B0)));
  QString age = QStringLiteral("-");
  if (lastFix_) {
    age =
        QStringLiteral("%1 s").arg(std::chrono::floor<std::chrono::seconds>(t - *lastFix_).count());
  }
  values_[FixAge]->setText(age);
}

void NowTab::Restart() {
  ggaSeen_ = 0;
  lastFix_.reset();
}

void NowTab::NoteFix(const CNMEAParser& record, Clock::time_point now) {
  // The record is reset at a new connection: its count starts again.
  if (record.GgaSentences == ggaSeen_) return;
  ggaSeen_ = record.GgaSentences;
  if ((record.GgaFieldsSent & GgaSent::kQuality) != 0 && record.GgaQuality != 0) lastFix_ = now;
}
