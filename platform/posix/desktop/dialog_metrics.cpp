#include "platform/posix/desktop/dialog_metrics.h"

#include "platform/posix/desktop/template_label.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRawFont>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>

#include <cmath>
#include <mutex>

namespace desktop {
namespace {

// Wine's Tahoma keeps Tahoma's metrics; Debian ships it with fonts-wine,
// outside the folders fontconfig searches.
constexpr const char* kTahomaFiles[] = {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"};

// Faces close to Tahoma, widest last only in the sense that they are less
// likely to be there: Verdana is Tahoma's wide sibling, DejaVu Sans is
// built on the same lines and is on almost every Linux system.
constexpr const char* kStandIns[] = {"Verdana", "DejaVu Sans", "Liberation Sans", "Noto Sans", "FreeSans"};

bool Installed(const QString& face) {
  return QFontDatabase::families().contains(face, Qt::CaseInsensitive);
}

QString ResolveFace(const QString& face) {
  static std::mutex mutex;
  std::lock_guard<std::mutex> lock(mutex);
  if (Installed(face)) return face;
  if (face.compare(u"Tahoma", Qt::CaseInsensitive) == 0) {
    bool loaded = false;
    for (const char* file : kTahomaFiles) loaded |= QFontDatabase::addApplicationFont(QString::fromUtf8(file)) >= 0;
    if (loaded && Installed(face)) return face;
  }
  for (const char* standIn : kStandIns)
    if (Installed(QString::fromUtf8(standIn))) return QString::fromUtf8(standIn);
  return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

// The character height the platform's text metrics give (tmHeight): the
// font's Windows ascent and descent, each rounded at this size. Qt's own
// ascent comes from other tables, which for many fonts is smaller.
int CharacterHeight(const QFont& font) {
  QRawFont raw = QRawFont::fromFont(font);
  QByteArray os2 = raw.fontTable("OS/2");
  QByteArray head = raw.fontTable("head");
  auto u16 = [](const QByteArray& table, int at) {
    return (static_cast<unsigned char>(table[at]) << 8) | static_cast<unsigned char>(table[at + 1]);
  };
  if (os2.size() >= 78 && head.size() >= 20) {
    int unitsPerEm = u16(head, 18);
    int winAscent = u16(os2, 74), winDescent = u16(os2, 76);
    double pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    if (unitsPerEm > 0 && winAscent + winDescent > 0)
      return static_cast<int>(std::lround(winAscent * pixels / unitsPerEm) + std::lround(winDescent * pixels / unitsPerEm));
  }
  QFontMetrics fm(font);
  return fm.ascent() + fm.descent();
}

// The average character width the platform's text metrics give a
// TrueType font, from which label texts take their tab stops (eight of
// them apart): lowercase letters and the space, each weighted by how often
// it occurs in English text, per thousand. Fonts that state a plain
// average of all their glyphs (Wine's Tahoma does) would give stops a
// third further apart, and the columns the texts line up with tabs would
// no longer meet.
int AverageCharWidth(const QFont& font) {
  static constexpr int kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20, 56,
                                       56, 17, 4,  49, 56, 71,  31, 10, 18, 3,  18, 2, 166};
  QFontMetricsF fm(font);
  double sum = 0;
  for (int i = 0; i < 26; ++i) sum += kWeights[i] * fm.horizontalAdvance(QChar(u'a' + i));
  sum += kWeights[26] * fm.horizontalAdvance(QChar(u' '));
  return std::max(1, static_cast<int>(std::lround(sum / 1000)));
}

int MulDiv(int number, int numerator, int denominator) {
  return static_cast<int>(std::lround(static_cast<double>(number) * numerator / denominator));
}

int RadioIndicatorWidth() {
  QStyle* style = QApplication::style();
  return style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
}

bool Fits(const ui::frontend::ControlView& control, const DialogMetrics& metrics, const QFontMetrics& fm) {
  QString text = QString::fromStdU16String(control.text);
  if (text.isEmpty()) return true;
  QRect box = metrics.ToPixels(control.x, control.y, control.cx, control.cy);
  switch (control.kind) {
    case ui::ControlKind::Label:
      return LabelHeight(text, metrics.font, box.width(), metrics.tabWidth) <= box.height();
    case ui::ControlKind::Radio: {
      QString shown = text;
      shown.remove(u'&');
      return RadioIndicatorWidth() + fm.horizontalAdvance(shown) <= box.width();
    }
    case ui::ControlKind::Button: {
      QString shown = text;
      shown.remove(u'&');
      return fm.horizontalAdvance(shown) + 8 <= box.width();
    }
    case ui::ControlKind::GroupBox:
      return fm.horizontalAdvance(text) + 16 <= box.width();
    default:
      return true;
  }
}

}  // namespace

int DialogMetrics::X(int units) const {
  return static_cast<int>(std::lround(units * baseX * stretchX / 4.0));
}

int DialogMetrics::Y(int units) const { return MulDiv(units, baseY, 8); }

QRect DialogMetrics::ToPixels(int x, int y, int cx, int cy) const { return QRect(X(x), Y(y), X(cx), Y(cy)); }

QFont DialogFont(const std::u16string& face, int points) {
  QString family = ResolveFace(QString::fromStdU16String(face.empty() ? u"Tahoma" : face));
  QFont font(family);
  // The character height the platform asks for: the points at the screen's
  // logical resolution, rounded.
  qreal dpi = 96;
  if (QScreen* screen = QGuiApplication::primaryScreen()) dpi = screen->logicalDotsPerInchY();
  font.setPixelSize(std::max(1, MulDiv(points > 0 ? points : 8, static_cast<int>(std::lround(dpi)), 72)));
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

DialogMetrics MetricsOf(const QFont& font) {
  DialogMetrics metrics;
  metrics.font = font;
  QFontMetrics fm(font);
  int letters = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  metrics.baseX = std::max(1, (letters / 26 + 1) / 2);
  metrics.baseY = std::max(1, CharacterHeight(font));
  metrics.tabWidth = 8 * AverageCharWidth(font);
  return metrics;
}

bool TextsFit(const ui::frontend::DialogView& view, const DialogMetrics& metrics) {
  QFontMetrics fm(metrics.font);
  for (const auto& control : view.controls)
    if (!Fits(control, metrics, fm)) return false;
  return true;
}

DialogMetrics FitDialog(const ui::frontend::DialogView& view) {
  DialogMetrics metrics = MetricsOf(DialogFont(view.fontName, view.fontPoints));
  // A third wider at most: beyond that the layout no longer looks like itself.
  while (metrics.stretchX < 1.33 && !TextsFit(view, metrics)) metrics.stretchX += 0.02;
  return metrics;
}

}  // namespace desktop
