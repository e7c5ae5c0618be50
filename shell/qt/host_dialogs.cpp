// The Qt host's dialogs: message boxes, the About box, Folder Setting and printing the screen
// image.
#include <QAbstractPrintDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "main_window.h"
#include "qt_host.h"

namespace vq {

BoxAnswer QtHost::MessageBox(const std::string& text, const std::string& caption,
                             BoxButtons buttons, BoxIcon icon) {
  // The core's texts break lines with CR LF.
  QString shown = FromInstrumentText(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(
      icon == BoxIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
      FromInstrumentText(caption), shown,
      buttons == BoxButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
      DialogParent());
  box.setDefaultButton(QMessageBox::Ok);
  return box.exec() == QMessageBox::Ok ? BoxAnswer::Ok : BoxAnswer::Cancel;
}

bool QtHost::AskFolderSetting(FolderChoice& choice) {
  QDialog dialog(DialogParent());
  dialog.setWindowTitle(QStringLiteral("Folder Setting"));
  auto* layout = new QGridLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("[INT] User Folder:"), &dialog), 0, 0, 1, 2);
  auto* folder = new QLineEdit(QString::fromStdString(choice.userFolder), &dialog);
  folder->setReadOnly(true);
  folder->setMinimumWidth(320);
  layout->addWidget(folder, 1, 0);
  auto* browse = new QPushButton(QStringLiteral("..."), &dialog);
  layout->addWidget(browse, 1, 1);
  QObject::connect(browse, &QPushButton::clicked, &dialog, [&dialog, folder] {
    const QString chosen = QFileDialog::getExistingDirectory(
        &dialog, QStringLiteral("User folder setting"), folder->text());
    if (!chosen.isEmpty()) folder->setText(chosen);
  });
  layout->addWidget(new QLabel(QStringLiteral("[EXT] USB Storage Drive:"), &dialog), 2, 0, 1, 2);
  auto* drives = new QComboBox(&dialog);
  for (const std::string& d : choice.drives) drives->addItem(QString::fromStdString(d));
  drives->setCurrentIndex(choice.selected);
  layout->addWidget(drives, 3, 0, 1, 2);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons, 4, 0, 1, 2);
  if (dialog.exec() != QDialog::Accepted) return false;
  choice.userFolder = folder->text().toStdString();
  choice.selected = drives->currentIndex();
  return true;
}

void QtHost::ShowAbout(const std::string& title, const std::vector<std::string>& lines) {
  QDialog dialog(DialogParent());
  dialog.setWindowTitle(FromInstrumentText(title));
  auto* layout = new QVBoxLayout(&dialog);
  for (const std::string& line : lines) {
    auto* label = new QLabel(FromInstrumentText(line), &dialog);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  dialog.exec();
}

int QtHost::PrintImage(const std::vector<uint8_t>& bmp, const std::string& documentName) {
  const QImage image =
      QImage::fromData(QByteArray::fromRawData(reinterpret_cast<const char*>(bmp.data()),
                                               static_cast<qsizetype>(bmp.size())),
                       "BMP");
  if (image.isNull()) return -1;

  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrintDialog dialog(printer_.get(), DialogParent());
  // One page of one picture: no selection, page range or printing to a file.
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
  if (dialog.exec() != QDialog::Accepted) return -1;

  printer_->setDocName(FromInstrumentText(documentName));
  printer_->setFullPage(true);
  const int resolution = printer_->resolution();
  const int pageWidth = printer_->pageLayout().fullRectPixels(resolution).width();
  // Where the printable area starts on the paper; the placement rule allows for it.
  const int offsetX = static_cast<int>(printer_->pageRect(QPrinter::DevicePixel).left() -
                                       printer_->paperRect(QPrinter::DevicePixel).left());
  if (pageWidth <= 0) return -1;
  const PrintRect rect = PrintPlacement(pageWidth, offsetX, image.width(), image.height());

  QPainter painter;
  if (!painter.begin(printer_.get())) return -1;
  painter.drawImage(QRect(rect.x, rect.y, rect.width, rect.height), image);
  return painter.end() ? 0 : -1;
}

}  // namespace vq
