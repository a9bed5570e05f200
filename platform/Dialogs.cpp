#include "platform/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "platform/detail/QtBridge.h"

namespace platform {

namespace {

QMessageBox::Icon QtIcon(TMessageIcon icon) {
  switch (icon) {
    case TMessageIcon::None:
      return QMessageBox::NoIcon;
    case TMessageIcon::Information:
      return QMessageBox::Information;
    case TMessageIcon::Warning:
      return QMessageBox::Warning;
    case TMessageIcon::Error:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

void MessageBox(const std::string& text, const std::string& caption, TMessageIcon icon) {
  QMessageBox box(QtIcon(icon), detail::ToQString(caption), detail::ToQString(text),
                  QMessageBox::Ok);
  box.exec();
}

std::string ChooseFileToOpen(const std::string& title, const std::string& filter) {
  return detail::FromQString(QFileDialog::getOpenFileName(nullptr, detail::ToQString(title),
                                                          QString(), detail::ToQString(filter)));
}

std::string ChooseFileToSave(const std::string& title, const std::string& filter,
                             const std::string& suggested) {
  return detail::FromQString(QFileDialog::getSaveFileName(
      nullptr, detail::ToQString(title), detail::ToQString(suggested), detail::ToQString(filter)));
}

}  // namespace platform
