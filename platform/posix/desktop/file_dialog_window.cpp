#include "platform/posix/desktop/file_dialog_window.h"

#include <QFileInfo>
#include <QLineEdit>

namespace desktop {
namespace {

// "*.HTM" as "*.[Hh][Tt][Mm]": Qt's patterns follow the file system's case.
QString AnyCase(const QString& pattern) {
  QString out;
  for (QChar c : pattern) {
    if (c.isLetter() && c.toLower() != c.toUpper()) {
      out += u'[';
      out += c.toUpper();
      out += c.toLower();
      out += u']';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

QStringList NameFilters(const std::u16string& filter) {
  QStringList parts;
  std::size_t start = 0;
  while (start < filter.size()) {
    std::size_t end = filter.find(u'\0', start);
    if (end == std::u16string::npos) end = filter.size();
    if (end == start) break;
    parts << QString::fromStdU16String(filter.substr(start, end - start));
    start = end + 1;
  }
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) patterns << AnyCase(pattern.trimmed());
    filters << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
  }
  return filters;
}

FileDialogWindow::FileDialogWindow(const ui::frontend::FileDialogView& view, InputSink& sink, QWidget* owner)
    : QFileDialog(owner), sink_(sink), serial_(view.serial) {
  setObjectName(QStringLiteral("filedialog"));
  // Qt's own dialog (the application asks for it before any dialog is
  // made): a desktop's native one may run a loop of its own.
  setOption(QFileDialog::DontUseNativeDialog, true);
  // The core asks before a file is replaced, over this dialog.
  setOption(QFileDialog::DontConfirmOverwrite, true);
  setOption(QFileDialog::HideNameFilterDetails, true);
  setWindowModality(owner ? Qt::WindowModal : Qt::NonModal);
  setAcceptMode(view.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  setFileMode(!view.save && (view.flags & ui::OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  QString title = QString::fromStdU16String(view.title);
  setWindowTitle(!title.isEmpty() ? title : view.save ? QStringLiteral("Save As") : QStringLiteral("Open"));
  QStringList filters = NameFilters(view.filter);
  if (!filters.isEmpty()) {
    setNameFilters(filters);
    int index = view.filterIndex > 0 ? static_cast<int>(view.filterIndex) - 1 : 0;
    if (index < filters.size()) selectNameFilter(filters[index]);
  }
  if (!view.defaultExt.empty()) setDefaultSuffix(QString::fromStdU16String(view.defaultExt));

  QString start = QString::fromStdU16String(view.file);
  QString initialDir = QString::fromStdU16String(view.initialDir);
  QFileInfo info(start);
  if (!start.isEmpty() && info.isDir()) {
    setDirectory(start);
  } else if (!start.isEmpty()) {
    if (info.isAbsolute()) setDirectory(info.absolutePath());
    else if (!initialDir.isEmpty()) setDirectory(initialDir);
  } else if (!initialDir.isEmpty()) {
    setDirectory(initialDir);
  }
  // The file-name field starts with the program's text, whatever it names.
  if (auto* field = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) field->setText(start);
}

void FileDialogWindow::accept() {
  auto* field = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  QString text = field ? field->text().trimmed() : QString();
  if (text.isEmpty()) return;
  QString path = QFileInfo(text).isAbsolute() ? text : directory().absoluteFilePath(text);
  if (QFileInfo(path).isDir()) {
    setDirectory(path);
    field->clear();
    return;
  }
  if (!defaultSuffix().isEmpty() && !QFileInfo(path).fileName().contains(u'.')) path += u'.' + defaultSuffix();
  chosen_ = path;
  done(QDialog::Accepted);
}

void FileDialogWindow::done(int result) {
  if (!takesInput_) return;
  ui::frontend::Input input;
  if (result == QDialog::Accepted && !chosen_.isEmpty()) {
    input.kind = ui::frontend::InputKind::FileChosen;
    input.path = chosen_.toStdU16String();
  } else {
    input.kind = ui::frontend::InputKind::FileCancelled;
  }
  sink_.Push(std::move(input));
}

}  // namespace desktop
