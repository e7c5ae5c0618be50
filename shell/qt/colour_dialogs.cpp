// The Qt host's Color dialog ("Key No.:" with its spin button) and its RGB dialog (three sliders
// of levels 0 to 5). Both only show what the core returns and hand every change to it.
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <array>
#include <functional>

#include "qt_host.h"

namespace vq {

namespace {

// The key box: a spin moves by one key through the core's rule and selects the whole text;
// a typed number goes through the same rule when the edit ends.
class KeyBox final : public QSpinBox {
 public:
  KeyBox(int key, std::function<int(int, int)> keyAfter, QWidget* parent)
      : QSpinBox(parent), keyAfter_(std::move(keyAfter)), shown_(key) {
    setRange(0, 999);  // wider than the keys: the core clamps what is typed
    setKeyboardTracking(false);
    setValue(key);
    connect(this, &QSpinBox::editingFinished, this, [this] { Show(keyAfter_(shown_, value())); });
  }
  int Shown() const { return shown_; }
  void stepBy(int steps) override {
    Show(keyAfter_(shown_, shown_ + (steps > 0 ? 1 : -1)));
    selectAll();
  }

 private:
  void Show(int key) {
    shown_ = key;
    setValue(key);
  }
  std::function<int(int, int)> keyAfter_;
  int shown_;
};

QPushButton* AddButton(QDialog& dialog, QBoxLayout& row, const char* name, const char* text) {
  auto* button = new QPushButton(QString::fromUtf8(text), &dialog);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  row.addWidget(button);
  return button;
}

void RunRgbDialog(QWidget* parent, int key, const ColourDialogCalls& calls) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("RGB"));
  dialog.setWindowTitle(QString::fromUtf8("RGB設定"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* grid = new QGridLayout;
  layout->addLayout(grid);
  constexpr std::array<const char*, 3> kLabels = {"R:", "G:", "B:"};
  constexpr std::array<const char*, 3> kNames = {"red", "green", "blue"};
  std::array<QSlider*, 3> sliders{};
  for (int i = 0; i < 3; ++i) {
    grid->addWidget(new QLabel(QString::fromLatin1(kLabels[i]), &dialog), i, 0);
    sliders[i] = new QSlider(Qt::Horizontal, &dialog);
    sliders[i]->setObjectName(QString::fromLatin1(kNames[i]));
    sliders[i]->setRange(0, 5);
    sliders[i]->setPageStep(1);
    sliders[i]->setTickPosition(QSlider::TicksBelow);
    sliders[i]->setMinimumWidth(180);
    grid->addWidget(sliders[i], i, 1);
    auto* value = new QLabel(&dialog);
    QObject::connect(sliders[i], &QSlider::valueChanged, value,
                     [value](int level) { value->setNum(level); });
    grid->addWidget(value, i, 2);
  }
  auto show = [&sliders](const ColourLevels& l) {
    sliders[0]->setValue(l.red);
    sliders[1]->setValue(l.green);
    sliders[2]->setValue(l.blue);
  };
  show(calls.levels(key));

  auto* buttons = new QHBoxLayout;
  layout->addLayout(buttons);
  QPushButton* redraw = AddButton(dialog, *buttons, "redraw", "再描画");
  QPushButton* defaults = AddButton(dialog, *buttons, "default", "Default値");
  QPushButton* write = AddButton(dialog, *buttons, "write", "ファイル書き込み");
  QPushButton* close = AddButton(dialog, *buttons, "close", "終了");
  QObject::connect(redraw, &QPushButton::clicked, &dialog, [&] {
    calls.redraw(key, {sliders[0]->value(), sliders[1]->value(), sliders[2]->value()});
  });
  QObject::connect(defaults, &QPushButton::clicked, &dialog, [&] { show(calls.takeDefault(key)); });
  QObject::connect(write, &QPushButton::clicked, &dialog, [&] { calls.writeFile(); });
  QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  dialog.exec();
}

}  // namespace

int QtHost::RunColourDialog(int key, const ColourDialogCalls& calls) {
  QDialog dialog(DialogParent());
  dialog.setObjectName(QStringLiteral("Color"));
  dialog.setWindowTitle(QStringLiteral("Color"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* row = new QHBoxLayout;
  layout->addLayout(row);
  row->addWidget(new QLabel(QStringLiteral("Key No.:"), &dialog));
  auto* box = new KeyBox(key, calls.keyAfter, &dialog);
  box->setObjectName(QStringLiteral("key"));
  row->addWidget(box);
  auto* buttons = new QHBoxLayout;
  layout->addLayout(buttons);
  QPushButton* rgb = AddButton(dialog, *buttons, "rgb", "RGB設定");
  QPushButton* exit = AddButton(dialog, *buttons, "exit", "Exit");
  QObject::connect(rgb, &QPushButton::clicked, &dialog,
                   [&] { RunRgbDialog(&dialog, box->Shown(), calls); });
  QObject::connect(exit, &QPushButton::clicked, &dialog, &QDialog::accept);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  dialog.exec();
  return box->Shown();
}

}  // namespace vq
