// The Qt host's dialogs: message boxes, the About box and printing the screen image.
#include <QAbstractPrintDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>

#include "main_window.h"
#include "qt_host.h"

namespace vq {

BoxAnswer QtHost::MessageBox(const std::string& text, const std::string& caption,
                             BoxButtons buttons) {
  // The core's texts break lines with CR LF.
  QString shown = FromInstrumentText(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(
      QMessageBox::NoIcon, FromInstrumentText(caption), shown,
      buttons == BoxButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
      DialogParent());
  box.setDefaultButton(QMessageBox::Ok);
  return box.exec() == QMessageBox::Ok ? BoxAnswer::Ok : BoxAnswer::Cancel;
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
