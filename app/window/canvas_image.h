#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

// An image control: shows a picture the program draws on. The picture is made
// on first use of Canvas(), as large as the control and white; until then the
// control is transparent and whatever lies beneath shows through.
class CanvasImage : public QWidget {
  Q_OBJECT

 public:
  explicit CanvasImage(QWidget* parent = nullptr);

  // Draw on this, then call update() to show the change.
  QImage& Canvas();
  bool HasPicture() const { return !Picture.isNull(); }

  // The canvas's font colour and weight as the last drawing left them: text
  // drawn later without a choice of its own comes out in them.
  QColor FontColour = Qt::black;
  bool FontBold = false;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage Picture;
};
