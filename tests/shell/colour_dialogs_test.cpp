// The Color and RGB dialogs on the offscreen platform: labels, the key box's rule and a colour
// taken into the drawn screen while the dialog is still open.
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <vector>

#include "started_viewer.h"

namespace vq {
namespace {

QStringList ButtonTexts(const QDialog& dialog) {
  QStringList texts;
  for (const QPushButton* b : dialog.findChildren<QPushButton*>()) texts << b->text();
  return texts;
}

QStringList LabelTexts(const QDialog& dialog) {
  QStringList texts;
  for (const QLabel* l : dialog.findChildren<QLabel*>()) {
    if (!l->text().isEmpty() && !l->text()[0].isDigit()) texts << l->text();
  }
  return texts;
}

void Key(QWidget* to, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(to, &press);
}

// Types a number into the spin box and ends the edit with Enter.
void Type(QSpinBox* box, const char* text) {
  box->findChild<QLineEdit*>()->setText(QString::fromLatin1(text));
  Key(box, Qt::Key_Return);
}

class ColourDialogsTest : public StartedViewerTest {
 protected:
  void SetUp() override {
    StartedViewerTest::SetUp();
    WriteHomeFile("debug.ini", "[DEBUG]\r\nPALETTE=ON\r\n");
    Start();
  }
};

TEST_F(ColourDialogsTest, KeyBoxStepsThroughTheCoreAndRgbRedrawsTheOpenScreen) {
  QStringList colour, rgb;
  std::vector<int> keys;
  QRgb drawn = 0;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    colour << dialog->windowTitle() << LabelTexts(*dialog) << ButtonTexts(*dialog);
    auto* box = dialog->findChild<QSpinBox*>("key");
    if (box == nullptr) return;
    keys.push_back(box->value());
    Type(box, "48");
    keys.push_back(box->value());
    Key(box, Qt::Key_Up);  // 49 has no colour of its own
    keys.push_back(box->value());
    Type(box, "200");
    keys.push_back(box->value());
    Type(box, "28");
    keys.push_back(box->value());

    QTimer::singleShot(0, [&] {
      auto* levels = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (levels == nullptr || levels == dialog) return;
      rgb << levels->windowTitle() << LabelTexts(*levels) << ButtonTexts(*levels);
      const int start[] = {levels->findChild<QSlider*>("red")->value(),
                           levels->findChild<QSlider*>("green")->value(),
                           levels->findChild<QSlider*>("blue")->value()};
      rgb << QString("%1,%2,%3").arg(start[0]).arg(start[1]).arg(start[2]);
      levels->findChild<QSlider*>("red")->setValue(5);
      levels->findChild<QSlider*>("green")->setValue(0);
      levels->findChild<QSlider*>("blue")->setValue(1);
      levels->findChild<QPushButton*>("redraw")->click();
      drawn = host_.Window()->Screen()->Image().pixel(750, 295);
      levels->findChild<QPushButton*>("close")->click();
    });
    dialog->findChild<QPushButton*>("rgb")->click();
    dialog->findChild<QPushButton*>("exit")->click();
  });
  host_.Send(WM_COMMAND, kCmdColourSetting, 0);  // returns when the dialog has closed

  EXPECT_EQ(colour, (QStringList{"Color", "Key No.:", "RGB設定", "Exit"}));
  EXPECT_EQ(keys, (std::vector<int>{3, 48, 50, 80, 28}));
  EXPECT_EQ(rgb, (QStringList{"RGB設定", "R:", "G:", "B:", "再描画", "Default値",
                              "ファイル書き込み", "終了", "1,1,2"}));
  // The soft-key column's background is key 28: redrawn before the dialog closed.
  EXPECT_EQ(drawn, qRgb(255, 0, 51));
  EXPECT_EQ(GInstrument->screen.colourDialogKey, 28);
}

}  // namespace
}  // namespace vq
