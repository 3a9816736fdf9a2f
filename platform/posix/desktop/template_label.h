// Static text as the platform draws it: words wrap at the control's width,
// a line break ("\r\n") starts a new line, tabs stop at fixed distances,
// "&" underlines the next letter (its mnemonic) and "&&" is an ampersand.
// Whatever does not fit the control's rectangle is cut.
#pragma once

#include <QString>
#include <QWidget>

namespace desktop {

class TemplateLabel : public QWidget {
 public:
  TemplateLabel(QWidget* parent, int tabWidth);
  void SetText(const QString& text);
  const QString& Text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  int tabWidth_;
};

// The height `text` takes laid out as a label of `width` pixels.
int LabelHeight(const QString& text, const QFont& font, int width, int tabWidth);

// "\r\n" (and a lone "\r" or "\n") as Qt's line separator.
QString WithLineSeparators(const QString& text);

}  // namespace desktop
