#include "Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace certwin {

namespace {
QString AppTitle() { return QFileInfo(QCoreApplication::applicationFilePath()).baseName(); }

// The messages break their lines with CR LF; a box shows a line feed as the break.
QString Shown(const QString& text) {
  return QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QMessageBox::StandardButton Ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton def, QMessageBox::StandardButton esc) {
  QMessageBox box(icon, title, Shown(text), buttons, parent);
  box.setDefaultButton(def);
  box.setEscapeButton(esc);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}
}  // namespace

bool TQtDialogs::ConfirmOkCancel(const QString& text) {
  return Ask(FParent, QMessageBox::Question, QStringLiteral("Confirm"), text,
             QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok,
             QMessageBox::Cancel) == QMessageBox::Ok;
}

TAnswer TQtDialogs::ConfirmYesNoCancel(const QString& text) {
  switch (Ask(FParent, QMessageBox::Question, QStringLiteral("Confirm"), text,
              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
              QMessageBox::Cancel)) {
    case QMessageBox::Yes:
      return anYes;
    case QMessageBox::No:
      return anNo;
    default:
      return anCancel;
  }
}

bool TQtDialogs::AskYesNo(const QString& title, const QString& text) {
  return Ask(FParent, QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No,
             QMessageBox::Yes, QMessageBox::No) == QMessageBox::Yes;
}

void TQtDialogs::Message(const QString& text) {
  Ask(FParent, QMessageBox::NoIcon, AppTitle(), text, QMessageBox::Ok, QMessageBox::Ok,
      QMessageBox::Ok);
}

bool TQtDialogs::MessageOrSkip(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, AppTitle(), Shown(text), QMessageBox::Ok, FParent);
  // Skipping is chosen with its own button only: Escape and closing the box dismiss this one
  // message, as they do any other.
  QPushButton* skip = box.addButton(QStringLiteral("Skip the rest"), QMessageBox::ActionRole);
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  box.exec();
  return box.clickedButton() == skip;
}

void TQtDialogs::Error(const QString& text) { QMessageBox::critical(FParent, AppTitle(), text); }

void TQtDialogs::About(const QString& title, const QString& text) {
  QMessageBox::about(FParent, title, Shown(text));
}

std::optional<QString> TQtDialogs::OpenFileName(const QString& title, const QString& initial,
                                                const char* filter, const char* suffix) {
  QFileDialog dlg(FParent, title, QString(), QString::fromLatin1(filter));
  dlg.setAcceptMode(QFileDialog::AcceptOpen);
  dlg.setFileMode(QFileDialog::ExistingFile);
  dlg.setDefaultSuffix(QString::fromLatin1(suffix));
  dlg.selectFile(initial);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
  return dlg.selectedFiles().first();
}

std::optional<QString> TQtDialogs::SaveFileName(const QString& title, const QString& initial,
                                                const char* filter, const char* suffix) {
  QFileDialog dlg(FParent, title, QString(), QString::fromLatin1(filter));
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
  dlg.setDefaultSuffix(QString::fromLatin1(suffix));
  dlg.selectFile(initial);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
  return dlg.selectedFiles().first();
}

void TQtDialogs::Beep() { QApplication::beep(); }

}  // namespace certwin
