#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <span>
#include <vector>

// Where the labels of a crowded sky chart go. A four-system dual-band
// receiver puts 30 to 45 satellites on the chart, many near the zenith, and
// labels drawn on their dots would cover one another.

struct SkyMark {
  QPoint centre;
  int radius;    // of the mark's figure; a label beside it keeps clear of it
  QSize beside;  // the label's size beside the mark; empty for a mark without a label
  QRect onMark;  // the label's place on the mark; empty when the figure has no room for it
};

// The box of a figure `radius` pixels in radius centred on `centre`.
QRect SkyFigureBox(QPoint centre, int radius);

// One label rectangle per mark (empty for a mark without a label), in the
// order given, which is also the order of preference: earlier marks take the
// nearest free places. A label sits on its mark when it has a place there and
// the place is free, else beside the mark as near as it can, preferring places
// that hide no other mark. No two labels touch and each lies within `bounds`;
// only when no free place is left does a label go on its mark regardless.
std::vector<QRect> SkyLabelRects(std::span<const SkyMark> marks, QRect bounds);
