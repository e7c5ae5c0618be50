// The Qt main window on the offscreen platform: frame, menus, status bar and the first screen.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <functional>
#include <memory>

#include "frame/frame.h"
#include "instrument.h"
#include "main_window.h"
#include "menu/key_commands.h"
#include "menu/param_entry.h"
#include "menu/popup_menu.h"
#include "qt_host.h"
#include "screen_widget.h"
#include "status_bar.h"

namespace vq {
namespace {

// One QApplication for the whole run, gone before the process exits: Qt's own globals do not
// survive a QApplication destroyed among the static destructors.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "vqshelltests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
    app_->setQuitOnLastWindowClosed(false);  // the core ends the loop itself
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

// gtest owns the environment.
const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Runs the event loop by hand until done() holds or the time runs out.
bool ProcessUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid());
    qputenv("VQ_HOME", home_.path().toUtf8());
  }

  void Start() {
    instrument_ = CreateInstrument(host_);
    const StartResult start = StartUp(host_, {home_.path().toStdString(), false});
    ASSERT_TRUE(start.running);
    ASSERT_NE(host_.Window(), nullptr);
    // The first idle steps find the screen ready and draw it whole.
    ASSERT_TRUE(ProcessUntil([this] {
      return GInstrument->frame.appState == 1 && LoopMayBlock() &&
             !host_.Window()->Screen()->Image().isNull();
    }));
  }

  void TearDown() override {
    if (instrument_) {
      // Closing the window runs the core's shut-down, which then lets the window go.
      if (host_.Window() != nullptr && !host_.WindowDestroyed()) {
        EXPECT_TRUE(host_.Window()->close());
        ProcessUntil([this] { return !host_.Window()->isVisible(); }, 2000);
        EXPECT_TRUE(host_.WindowDestroyed());
        EXPECT_FALSE(host_.Window()->isVisible());
      }
      DestroyInstrument(instrument_);
    }
  }

  QTemporaryDir home_;
  QtHost host_;
  std::unique_ptr<Instrument> instrument_;
};

TEST_F(MainWindowTest, FrameMenusAndFirstScreen) {
  Start();
  MainWindow& window = *host_.Window();
  EXPECT_EQ(window.windowTitle(), "VQ7000B OPTICAL SPECTRUM ANALYZER");
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.Screen()->size(), QSize(800, 600));
  EXPECT_EQ(window.Status()->RightEdges(), (std::array<int, 4>{23, 182, 362, 472}));
  // The window holds exactly menu bar, screen and status bar, and cannot be resized.
  EXPECT_EQ(window.size().height(), window.menuBar()->height() + 600 + window.Status()->height());
  EXPECT_EQ(window.minimumSize(), window.maximumSize());

  QStringList titles;
  for (QAction* menu : window.menuBar()->actions()) titles << menu->text();
  EXPECT_EQ(titles, (QStringList{"File(&F)", "Remote(&R)", "Setting(&S)", "Help(&H)"}));

  // The print item shows its shortcut; of the remote items Connect and FileTransfer can be chosen
  // at first.
  for (int command : {kCmdPrint, kCmdExit, kCmdAbout, kCmdConnect, kCmdDisconnect, kCmdFileTransfer,
                      kCmdFolderSetting}) {
    const QAction* action = window.FindAction(command);
    ASSERT_NE(action, nullptr) << command;
    EXPECT_EQ(action->isEnabled(), command != kCmdDisconnect) << command;
  }
  EXPECT_EQ(window.FindAction(kCmdPrint)->text(), "Print(&P)       Ctrl+P");
  // Without debug.ini the palette switch is off and the colour item is gone.
  EXPECT_EQ(window.FindAction(kCmdColourSetting), nullptr);

  // The soft-key column shows the background slot colour of the core's own table.
  const QImage image = window.Screen()->Image();
  ASSERT_EQ(image.size(), QSize(800, 600));
  EXPECT_EQ(image.pixel(750, 295), GInstrument->screen.colours[28] | 0xFF000000u);
}

TEST_F(MainWindowTest, ConnectionDialogShowsTheStoredValuesMaskedAndCancels) {
  const std::string folder = home_.path().toStdString() + "/";
  QFile ini(QString::fromStdString(folder + "Connect.ini"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[CONNECT]\r\nComputer Name=10.1.2.3\r\nPort Number=10002\r\n");
  ini.close();
  QFile account(QString::fromStdString(folder + "Account.ini"));
  ASSERT_TRUE(account.open(QIODevice::WriteOnly));
  account.write("[ACCOUNT]\r\nUser=\"bench\"\r\nPassword=\"s3cret\"\r\n");
  account.close();
  Start();
  QStringList shown;
  bool masked = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    shown << dialog->windowTitle();
    for (const char* name : {"host", "port", "user", "password"}) {
      if (auto* box = dialog->findChild<QLineEdit*>(name)) shown << box->text();
    }
    const auto* password = dialog->findChild<QLineEdit*>("password");
    masked = password != nullptr && password->echoMode() == QLineEdit::Password;
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
      if (button->text() == "Cancel") button->click();
    }
  });
  host_.Send(WM_COMMAND, kCmdConnect, 0);  // returns when the dialog has closed
  EXPECT_EQ(shown, (QStringList{"Connection", "10.1.2.3", "10002", "bench", "s3cret"}));
  EXPECT_TRUE(masked);
  EXPECT_EQ(GInstrument->link.transport, nullptr);
}

TEST_F(MainWindowTest, PaletteSwitchKeepsColourSetting) {
  QFile ini(home_.filePath("debug.ini"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[DEBUG]\r\nPALETTE=ON\r\n");
  ini.close();
  Start();
  const QAction* action = host_.Window()->FindAction(kCmdColourSetting);
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->text(), "Color Setting");
}

TEST_F(MainWindowTest, WindowEventsReachTheCore) {
  Start();
  MainWindow& window = *host_.Window();
  FrameState& frame = GInstrument->frame;

  // Minimised, the core stops drawing; the restore repaints the screen.
  window.showMinimized();
  QCoreApplication::processEvents();
  EXPECT_EQ(frame.minimized, 1);
  const int passes = GInstrument->screen.passesDrawn;
  window.showNormal();
  ASSERT_TRUE(ProcessUntil([&] { return LoopMayBlock(); }));
  EXPECT_EQ(frame.minimized, 0);
  EXPECT_GT(GInstrument->screen.passesDrawn, passes);

  // An open menu of the bar is tracked until it closes.
  QMenu* menu = window.menuBar()->actions().front()->menu();
  menu->popup(QPoint(0, 0));
  EXPECT_EQ(frame.menuTracking, 1);
  menu->hide();
  EXPECT_EQ(frame.menuTracking, 0);
}

TEST_F(MainWindowTest, ExitRequestEndsTheLoopAfterPendingRedraw) {
  Start();
  const int passes = GInstrument->screen.passesDrawn;
  GInstrument->frame.redrawFlags = kRedrawAll;
  GInstrument->frame.exitRequest = 3;
  QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });  // guard against a hang
  EXPECT_EQ(host_.RunLoop(), 0);
  EXPECT_GT(GInstrument->screen.passesDrawn, passes);
  EXPECT_TRUE(host_.WindowDestroyed());
  EXPECT_FALSE(host_.Window()->isVisible());
}

// Keys the current node gets in mode 2.
std::vector<int> gNodeKeys;
int32_t RecordKeys(int mode, int16_t* key) {
  if (mode == kModeKey) gNodeKeys.push_back(static_cast<uint16_t>(*key));
  return 1;
}

TEST_F(MainWindowTest, KeysAndMouseOfTheScreenReachTheCore) {
  Start();
  ScreenWidget* screen = host_.Window()->Screen();
  const MenuState& menu = GInstrument->menu;
  auto key = [&](int qtKey, Qt::KeyboardModifiers modifiers, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, text);
    QApplication::sendEvent(screen, &press);
    ASSERT_TRUE(ProcessUntil([] { return LoopMayBlock(); }));
  };
  auto mouse = [&](QEvent::Type type, Qt::MouseButton button, QPointF at) {
    QMouseEvent event(type, at, screen->mapToGlobal(at), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(screen, &event);
  };

  key(Qt::Key_F2, Qt::ShiftModifier);
  EXPECT_EQ(menu.page, 1);  // CENTER
  // Alt+F4 is the PROGRAM key: claimed before any shortcut, and the window stays.
  QKeyEvent altF4(QEvent::ShortcutOverride, Qt::Key_F4, Qt::AltModifier);
  QApplication::sendEvent(screen, &altF4);
  EXPECT_TRUE(altF4.isAccepted());
  key(Qt::Key_F4, Qt::AltModifier);
  EXPECT_EQ(menu.page, 95);
  EXPECT_TRUE(host_.Window()->isVisible());
  // Ctrl+P stays the menu's print shortcut.
  QKeyEvent ctrlP(QEvent::ShortcutOverride, Qt::Key_P, Qt::ControlModifier);
  ctrlP.ignore();
  QApplication::sendEvent(screen, &ctrlP);
  EXPECT_FALSE(ctrlP.isAccepted());

  // Typed characters and navigation keys go to the current node; Alt+letters type nothing.
  GInstrument->menu.nodes[menu.currentMenu].handler = RecordKeys;
  gNodeKeys.clear();
  key(Qt::Key_5, Qt::NoModifier, "5");
  key(Qt::Key_Enter, Qt::KeypadModifier, "\r");
  key(Qt::Key_Return, Qt::ShiftModifier, "\r");
  key(Qt::Key_X, Qt::AltModifier, "x");
  key(Qt::Key_Escape, Qt::NoModifier, "\x1b");
  EXPECT_EQ(gNodeKeys, (std::vector<int>{'5', kCmdEnter, kCmdShiftEnter}));

  // A click on LEVEL's "Y SCALE DIVISION" key opens its page.
  key(Qt::Key_F4, Qt::ShiftModifier);
  const QPointF onKey(750, 435);
  mouse(QEvent::MouseMove, Qt::NoButton, onKey);
  mouse(QEvent::MouseButtonPress, Qt::LeftButton, onKey);
  EXPECT_EQ(GInstrument->frame.mouseHeldElement, kCmdSoftKey1 + 7);
  EXPECT_EQ(screen->cursor().shape(), Qt::PointingHandCursor);
  mouse(QEvent::MouseButtonRelease, Qt::LeftButton, onKey);
  ASSERT_TRUE(ProcessUntil([] { return LoopMayBlock(); }));
  EXPECT_EQ(menu.page, 6);

  // The right button opens the pop-up menu where it is pressed.
  mouse(QEvent::MouseButtonPress, Qt::RightButton, QPointF(100, 120));
  EXPECT_TRUE(GInstrument->popup.open);
  EXPECT_EQ(GInstrument->popup.x, 100);
  EXPECT_EQ(GInstrument->popup.y, 120);

  // The wheel is the rotary knob on LEVEL's REF LEVEL entry: whole notches, halves added up,
  // each a step of the setting itself.
  ClosePopupMenu(false);
  key(Qt::Key_F4, Qt::ShiftModifier);
  key(Qt::Key_F1, Qt::NoModifier);
  ASSERT_EQ(GInstrument->entry.parameter, 16);  // REF LEVEL, fine steps of 0.1
  const double& ref = GInstrument->conditions.setting.refLevel;
  const double before = ref;
  auto wheel = [&](int delta) {
    QWheelEvent event(QPointF(300, 300), screen->mapToGlobal(QPointF(300, 300)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(screen, &event);
  };
  wheel(60);
  EXPECT_NEAR(ref, before, 1e-9);
  wheel(60);
  EXPECT_NEAR(ref, before + 0.1, 1e-9);
  wheel(-120);
  EXPECT_NEAR(ref, before, 1e-9);
}

}  // namespace
}  // namespace vq
