#include "platform/posix/desktop/template_label.h"

#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace desktop {
namespace {

struct Prepared {
  QString shown;
  QList<QTextLayout::FormatRange> underlines;
};

Prepared Prepare(const QString& text) {
  Prepared out;
  QString lines = WithLineSeparators(text);
  out.shown.reserve(lines.size());
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QChar c = lines[i];
    if (c == u'&' && i + 1 < lines.size()) {
      ++i;
      if (lines[i] != u'&') {
        QTextLayout::FormatRange range;
        range.start = static_cast<int>(out.shown.size());
        range.length = 1;
        range.format.setFontUnderline(true);
        out.underlines.append(range);
      }
      out.shown.append(lines[i]);
      continue;
    }
    out.shown.append(c);
  }
  return out;
}

// Lays `layout` out in lines of `width`; returns the height used.
int LayOut(QTextLayout& layout, int width, int tabWidth) {
  QTextOption option;
  option.setWrapMode(QTextOption::WordWrap);
  option.setTabStopDistance(tabWidth);
  layout.setTextOption(option);
  layout.beginLayout();
  qreal y = 0;
  for (;;) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(width);
    line.setPosition(QPointF(0, y));
    y += line.height();
  }
  layout.endLayout();
  return static_cast<int>(std::ceil(y));
}

}  // namespace

QString WithLineSeparators(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    QChar c = text[i];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      out.append(QChar::LineSeparator);
    } else {
      out.append(c);
    }
  }
  return out;
}

TemplateLabel::TemplateLabel(QWidget* parent, int tabWidth) : QWidget(parent), tabWidth_(tabWidth) {
  setFocusPolicy(Qt::NoFocus);
}

void TemplateLabel::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

void TemplateLabel::paintEvent(QPaintEvent*) {
  if (text_.isEmpty()) return;
  Prepared prepared = Prepare(text_);
  QTextLayout layout(prepared.shown, font());
  layout.setFormats(prepared.underlines);
  LayOut(layout, width(), tabWidth_);
  QPainter painter(this);
  painter.setClipRect(rect());
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  layout.draw(&painter, QPointF(0, 0));
}

int LabelHeight(const QString& text, const QFont& font, int width, int tabWidth) {
  Prepared prepared = Prepare(text);
  QTextLayout layout(prepared.shown, font);
  return LayOut(layout, width, tabWidth);
}

}  // namespace desktop
