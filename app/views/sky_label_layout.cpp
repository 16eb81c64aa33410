#include "app/views/sky_label_layout.h"

#include <algorithm>
#include <limits>

namespace {

// What a place costs besides its distance in pixels from the mark: covering
// part of another mark's figure, and more so hiding its centre. A label a few
// pixels farther away reads better than a figure that cannot be made out.
constexpr int kFigureCoveredCost = 2;
constexpr int kCentreHiddenCost = 4;
// The part of a mark that a label should leave visible.
constexpr int kCoreRadius = 3;
// Pixels between the places tried: outwards from a mark, and along its sides.
constexpr int kRingStep = 2;
constexpr int kSlideStep = 2;

// QRect::intersects for rectangles known to be valid, inline: the layout asks
// it several times for every place it tries.
bool Overlap(const QRect& a, const QRect& b) {
  return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() && b.top() <= a.bottom();
}

QRect FigureBox(const SkyMark& mark) { return SkyFigureBox(mark.centre, mark.radius); }

// The places for the label that leave `gap` clear pixels between it and the
// mark's figure box (horizontally or vertically, whichever is more), in the
// order a reader looks for a label: right of the mark, then left, then above
// or below; on each side the one level with the mark's centre first, then
// sliding away from it in steps of kSlideStep pixels.
void PlacesAt(const SkyMark& mark, int gap, std::vector<QRect>& places) {
  const QSize size = mark.beside;
  const int w = size.width();
  const int h = size.height();
  const QRect ring = FigureBox(mark).adjusted(-gap - 1, -gap - 1, gap + 1, gap + 1);
  const int level = mark.centre.y() - h / 2;
  const int middle = mark.centre.x() - w / 2;
  places.clear();
  for (int x : {ring.right(), ring.left() - w + 1}) {
    for (int offset = 0; level - offset >= ring.top() - h + 1; offset += kSlideStep) {
      places.emplace_back(QPoint(x, level - offset), size);
      if (offset > 0 && level + offset <= ring.bottom()) places.emplace_back(QPoint(x, level + offset), size);
    }
  }
  // The corners belong to the sides.
  for (int offset = 0; middle - offset > ring.left() - w + 1; offset += kSlideStep) {
    for (int x : {middle - offset, middle + offset}) {
      if (x >= ring.right()) continue;
      places.emplace_back(QPoint(x, ring.top() - h + 1), size);
      places.emplace_back(QPoint(x, ring.bottom()), size);
      if (offset == 0) break;
    }
  }
}

// Side by side two clear pixels apart, so that two labels never read as one
// number; one above the other a pixel is enough.
QRect Spaced(const QRect& label) { return label.adjusted(-2, -1, 2, 1); }

// What lies within reach of the places being tried: the labels placed so far,
// with their spacing, and the other marks' figures with their centres.
struct Nearby {
  std::vector<QRect> labels;
  std::vector<QRect> figures;
  std::vector<QRect> cores;
};

void Gather(const QRect& area, std::span<const SkyMark> marks, size_t self, const std::vector<QRect>& placed,
            Nearby& nearby) {
  nearby.labels.clear();
  nearby.figures.clear();
  nearby.cores.clear();
  for (const QRect& label : placed) {
    if (!label.isEmpty() && Overlap(Spaced(label), area)) nearby.labels.push_back(Spaced(label));
  }
  for (size_t j = 0; j < marks.size(); ++j) {
    const QRect figure = FigureBox(marks[j]);
    if (j == self || !Overlap(figure, area)) continue;
    const QPoint c = marks[j].centre;
    nearby.figures.push_back(figure);
    nearby.cores.emplace_back(c.x() - kCoreRadius, c.y() - kCoreRadius, 2 * kCoreRadius + 1, 2 * kCoreRadius + 1);
  }
}

// The cost of `place`, or `limit` when it is taken or reaches `limit`.
int PlaceCost(const QRect& place, int distance, const Nearby& nearby, const QRect& bounds, int limit) {
  if (!bounds.contains(place)) return limit;
  for (const QRect& label : nearby.labels) {
    if (Overlap(label, place)) return limit;
  }
  int cost = distance;
  for (size_t j = 0; j < nearby.figures.size() && cost < limit; ++j) {
    if (!Overlap(place, nearby.figures[j])) continue;
    cost += Overlap(place, nearby.cores[j]) ? kCentreHiddenCost : kFigureCoveredCost;
  }
  return std::min(cost, limit);
}

// The cheapest free place for the label of marks[self]. With no free place
// left on the chart it goes on the mark, over whatever lies there.
QRect BestPlace(std::span<const SkyMark> marks, size_t self, const std::vector<QRect>& placed, const QRect& bounds) {
  const SkyMark& mark = marks[self];
  constexpr int kNone = std::numeric_limits<int>::max();
  QRect best;
  int bestCost = kNone;
  Nearby nearby;
  const auto consider = [&](const QRect& place, int distance) {
    const int cost = PlaceCost(place, distance, nearby, bounds, bestCost);
    if (cost < bestCost) {
      best = place;
      bestCost = cost;
    }
  };
  if (!mark.onMark.isEmpty()) {
    Gather(mark.onMark, marks, self, placed, nearby);
    consider(mark.onMark, 0);
  }
  // A place `gap` pixels away costs at least `gap`: once that reaches the best
  // cost so far, no farther place can do better.
  const int farthest = std::max(bounds.width(), bounds.height());
  const QSize size = mark.beside;
  std::vector<QRect> places;
  for (int gap = 1; gap < bestCost && gap <= farthest; gap += kRingStep) {
    const int reach = gap + 1;
    Gather(FigureBox(mark).adjusted(-reach - size.width(), -reach - size.height(), reach + size.width(),
                                    reach + size.height()),
           marks, self, placed, nearby);
    PlacesAt(mark, gap, places);
    for (const QRect& place : places) consider(place, gap);
  }
  if (bestCost < kNone) return best;
  if (!mark.onMark.isEmpty()) return mark.onMark;
  return QRect(mark.centre - QPoint(size.width(), size.height()) / 2, size);
}

}  // namespace

QRect SkyFigureBox(QPoint centre, int radius) {
  return QRect(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
}

std::vector<QRect> SkyLabelRects(std::span<const SkyMark> marks, QRect bounds) {
  std::vector<QRect> placed;
  placed.reserve(marks.size());
  for (size_t i = 0; i < marks.size(); ++i) {
    placed.push_back(marks[i].beside.isEmpty() ? QRect() : BestPlace(marks, i, placed, bounds));
  }
  return placed;
}
