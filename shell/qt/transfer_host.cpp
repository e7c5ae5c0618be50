// The Qt host's file-transfer dialogs in their first, plain form: "Overwrite?", "New Folder" and
// the folder browser. The File Transfer window itself is not built yet: RunFileTransferWindow
// returns at once, so FileTransfer connects and disconnects again.
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "qt_host.h"

namespace vq {

void QtHost::RunFileTransferWindow() {}

OverwriteChoice QtHost::AskOverwrite(const std::string& text, const std::string& path) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Overwrite?"),
                  FromInstrumentText(text) + QStringLiteral("\n") + FromInstrumentText(path),
                  QMessageBox::NoButton, DialogParent());
  QPushButton* yes = box.addButton(QStringLiteral("Yes(&Y)"), QMessageBox::YesRole);
  QPushButton* all = box.addButton(QStringLiteral("Yes All(&A)"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("No(&N)"), QMessageBox::NoRole);
  box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
  box.setDefaultButton(yes);
  box.exec();
  if (box.clickedButton() == yes) return OverwriteChoice::Yes;
  if (box.clickedButton() == all) return OverwriteChoice::YesAll;
  if (box.clickedButton() == no) return OverwriteChoice::No;
  return OverwriteChoice::Cancel;
}

bool QtHost::AskNewFolderName(std::string& name) {
  QInputDialog dialog(DialogParent());
  dialog.setWindowTitle(QStringLiteral("New Folder"));
  dialog.setLabelText(QStringLiteral("Name:"));
  dialog.setOkButtonText(QStringLiteral("Execute"));
  dialog.setCancelButtonText(QStringLiteral("Cancel"));
  if (QLineEdit* box = dialog.findChild<QLineEdit*>()) box->setMaxLength(50);
  if (dialog.exec() != QDialog::Accepted) return false;
  name = dialog.textValue().left(50).toStdString();
  return true;
}

bool QtHost::BrowseForFolder(const std::string& title, std::string& folder) {
  const QString chosen = QFileDialog::getExistingDirectory(
      DialogParent(), FromInstrumentText(title), QString::fromStdString(folder));
  if (chosen.isEmpty()) return false;
  folder = chosen.toStdString();
  return true;
}

}  // namespace vq
