// The Qt host's Connection dialog: host, port, user name and masked password, Connect and Cancel.
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "qt_host.h"

namespace vq {

namespace {

QLineEdit* AddBox(QDialog& dialog, QFormLayout& form, const char* name, const QString& label,
                  const std::string& value, int maxLength) {
  auto* box = new QLineEdit(FromInstrumentText(value), &dialog);
  box->setObjectName(QString::fromLatin1(name));
  if (maxLength > 0) box->setMaxLength(maxLength);
  form.addRow(label, box);
  return box;
}

std::string BoxText(const QLineEdit* box) {
  return box->text().toLatin1().toStdString();
}

}  // namespace

void QtHost::RunConnectionDialog(const ConnectFields& shown,
                                 const std::function<bool(const ConnectFields&)>& onConnect) {
  QDialog dialog(DialogParent());
  dialog.setObjectName(QStringLiteral("Connection"));
  dialog.setWindowTitle(QStringLiteral("Connection"));
  auto* form = new QFormLayout(&dialog);
  QLineEdit* host =
      AddBox(dialog, *form, "host", QStringLiteral("Computer Name / IP Address"), shown.host, 31);
  QLineEdit* port = AddBox(dialog, *form, "port", QStringLiteral("Port Number"), shown.port, 5);
  port->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), port));
  QLineEdit* user = AddBox(dialog, *form, "user", QStringLiteral("User Name"), shown.user, 11);
  QLineEdit* password =
      AddBox(dialog, *form, "password", QStringLiteral("Password"), shown.password, 11);
  password->setEchoMode(QLineEdit::Password);

  auto* buttons = new QHBoxLayout;
  auto* connect = new QPushButton(QStringLiteral("Connect"), &dialog);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
  connect->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(connect);
  buttons->addWidget(cancel);
  form->addRow(buttons);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  // The attempt blocks the GUI thread within its time-outs; a failure has shown its box and the
  // dialog stays open with the entered values for another try.
  QObject::connect(connect, &QPushButton::clicked, &dialog, [&] {
    const ConnectFields typed{BoxText(host), BoxText(port), BoxText(user), BoxText(password)};
    if (onConnect(typed)) dialog.accept();
  });
  form->setSizeConstraint(QLayout::SetFixedSize);
  dialog.exec();
}

}  // namespace vq
