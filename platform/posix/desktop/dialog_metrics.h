// How a template's dialog units become pixels. As the platform's dialog
// manager does it: the horizontal base unit is the dialog font's average
// width of the 52 Latin letters, the vertical one its character height; a
// dialog unit is a quarter of the first and an eighth of the second. When
// the template's font is missing and a wider stand-in would cut a text, the
// dialog is widened as a whole until every text fits.
#pragma once

#include "platform/posix/ui/frontend.h"

#include <QFont>
#include <QRect>
#include <QString>

namespace desktop {

struct DialogMetrics {
  QFont font;
  int baseX = 6;  // pixels per four horizontal dialog units
  int baseY = 13;  // pixels per eight vertical dialog units
  double stretchX = 1.0;  // above 1 when a stand-in font needed room
  int tabWidth = 40;      // where tabs stop in label texts

  int X(int units) const;
  int Y(int units) const;
  QRect ToPixels(int x, int y, int cx, int cy) const;
};

// The font a template names, at its size for this screen: the face itself
// when the system has it (Tahoma also from Wine's font files), else the
// closest face with wider metrics that the system has.
QFont DialogFont(const std::u16string& face, int points);

DialogMetrics MetricsOf(const QFont& font);

// The metrics for one dialog: MetricsOf its font, stretched so that every
// caption of its controls fits the control's rectangle.
DialogMetrics FitDialog(const ui::frontend::DialogView& view);

// Whether every text of `view` fits its control at `metrics`.
bool TextsFit(const ui::frontend::DialogView& view, const DialogMetrics& metrics);

}  // namespace desktop
