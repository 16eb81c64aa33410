#include "app/stats/link/link_tab.h"

#include <QFormLayout>

#include "app/stats/value_rows.h"
#include "nmea_parser.h"

LinkTab::LinkTab(QWidget* parent) : StatsTab(parent) {
  auto* form = new QFormLayout(this);
  static constexpr std::array<const char*, kRowCount> kNames = {
      "Sentences per second",   "Bytes per second",        "Checksum failures",  "Without checksum",
      "Unknown sentence names", "Bytes outside sentences", "Since the last byte"};
  for (int row = 0; row < kRowCount; ++row) {
    values_[static_cast<size_t>(row)] =
        AddValueRow(*form, QString::fromLatin1(kNames[static_cast<size_t>(row)]));
  }
  values_[Bytes]->setToolTip(QStringLiteral("The bytes of the lines, without their line breaks"));
}

void LinkTab::Refresh(const StatsContext& now) {
  counter_.SetGnssMode(now.Parser.GnssMode());
  const LinkCounter::Clock::time_point t = LinkCounter::Clock::now();
  const LinkCounter::Counts& c = counter_.Totals();
  values_[Sentences]->setText(QString::number(counter_.SentencesPerSecond(t), 'f', 1));
  values_[Bytes]->setText(QString::number(counter_.BytesPerSecond(t), 'f', 0));
  values_[BadChecksums]->setText(QString::number(c.BadChecksums));
  values_[NoChecksum]->setText(QString::number(c.NoChecksum));
  values_[UnknownNames]->setText(QString::number(c.UnknownNames));
  values_[OutsideBytes]->setText(QString::number(c.OutsideBytes));
  QString since = QStringLiteral("-");
  if (const auto d = counter_.SinceLastByte(t)) {
    since = QStringLiteral("%1 s").arg(std::chrono::duration<double>(*d).count(), 0, 'f', 1);
  }
  values_[SinceLast]->setText(since);
}
