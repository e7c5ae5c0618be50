// The main window: its menu bar and the translation of window events into core messages.
#include "main_window.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QShortcut>
#include <QWindowStateChangeEvent>
#ifdef VQ_HAVE_QTDBUS
#include <QDBusConnection>
#endif
#include <string>
#include <vector>

#include "frame/frame.h"
#include "qt_host.h"
#include "screen_widget.h"
#include "status_bar.h"

namespace vq {
namespace {

struct MenuItem {
  const char* text;
  int command;
};

struct MenuEntry {
  const char* title;
  std::vector<MenuItem> items;
};

// The viewer's own menu bar; the texts are shown as they are (Qt turns "&" into mnemonics).
const std::vector<MenuEntry>& ViewerMenus() {
  static const std::vector<MenuEntry> menus = {
      {"File(&F)", {{"Print(&P)       Ctrl+P", kCmdPrint}, {"Exit(&X)", kCmdExit}}},
      {"Remote(&R)",
       {{"Connect(&C)", kCmdConnect},
        {"Disconnect(&D)", kCmdDisconnect},
        {"FileTransfer(&T)", kCmdFileTransfer}}},
      {"Setting(&S)",
       {{"Folder Setting", kCmdFolderSetting}, {"Color Setting", kCmdColourSetting}}},
      {"Help(&H)", {{"About(&A)", kCmdAbout}}},
  };
  return menus;
}

// Local paths among the dragged URLs.
std::vector<std::string> LocalFiles(const QMimeData* data) {
  std::vector<std::string> paths;
  if (data == nullptr || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  }
  return paths;
}

}  // namespace

MainWindow::MainWindow(QtHost& host, const QString& title)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      host_(host),
      screen_(new ScreenWidget(this)),
      status_(new StatusBar(this)) {
  setWindowTitle(title);
  setCentralWidget(screen_);
  setStatusBar(status_);
  setAcceptDrops(true);
  BuildMenus();
  screen_->SetSender([this](uint32_t message, uintptr_t wParam, intptr_t lParam) {
    host_.Send(message, wParam, lParam);
  });
  screen_->setFocus();

  // The accelerator of the print command; the menu text already names it.
  auto* print = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this);
  connect(print, &QShortcut::activated, this, [this] { host_.Send(WM_COMMAND, kCmdPrint, 0); });

  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState state) {
            host_.Send(WM_ACTIVATEAPP, state == Qt::ApplicationActive ? 1 : 0, 0);
          });
  for (QScreen* screen : QGuiApplication::screens()) WatchScreen(screen);
  connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
    WatchScreen(screen);
    host_.Send(WM_DISPLAYCHANGE, 0, 0);
  });
  connect(qApp, &QGuiApplication::screenRemoved, this,
          [this] { host_.Send(WM_DISPLAYCHANGE, 0, 0); });
#ifdef VQ_HAVE_QTDBUS
  // The system's suspend announcement; without a system bus (or logind) there is none.
  QDBusConnection::systemBus().connect(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
      SLOT(PrepareForSleep(bool)));
#endif
}

void MainWindow::PrepareForSleep(bool starting) {
  if (starting) host_.Send(WM_POWERBROADCAST, 0, 0);
}

void MainWindow::WatchScreen(QScreen* screen) {
  connect(screen, &QScreen::geometryChanged, this, [this] { host_.Send(WM_DISPLAYCHANGE, 0, 0); });
}

void MainWindow::BuildMenus() {
  for (const MenuEntry& entry : ViewerMenus()) {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(entry.title));
    for (const MenuItem& item : entry.items) {
      menu->addAction(QString::fromUtf8(item.text))->setData(item.command);
    }
    connect(menu, &QMenu::triggered, this,
            [this](QAction* action) { host_.Send(WM_COMMAND, action->data().toInt(), 0); });
    // The core tracks whether the menu bar is open (its timer keeps the screen alive then).
    connect(menu, &QMenu::aboutToShow, this, [this] { host_.Send(WM_MENUSELECT, 0, 0); });
    connect(menu, &QMenu::aboutToHide, this,
            [this] { host_.Send(WM_MENUSELECT, kMenuClosedHighWord << 16, 0); });
  }
}

QAction* MainWindow::FindAction(int command) const {
  for (QAction* menuAction : menuBar()->actions()) {
    if (menuAction->menu() == nullptr) continue;
    for (QAction* action : menuAction->menu()->actions()) {
      if (action->data().toInt() == command) return action;
    }
  }
  return nullptr;
}

void MainWindow::Dismiss() {
  if (!inCloseEvent_) close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The core decides: WM_CLOSE runs its shut-down, which destroys the window through the host.
  inCloseEvent_ = true;
  if (!host_.WindowDestroyed()) host_.Send(WM_CLOSE, 0, 0);
  inCloseEvent_ = false;
  event->setAccepted(host_.WindowDestroyed());
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  const bool minimized = isMinimized();
  host_.Send(WM_SIZE, minimized ? SIZE_MINIMIZED : SIZE_RESTORED, 0);
  const auto* change = static_cast<QWindowStateChangeEvent*>(event);
  if (!minimized && (change->oldState() & Qt::WindowMinimized)) host_.Send(WM_PAINT, 0, 0);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  host_.Send(WM_PAINT, 0, 0);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!LocalFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  std::vector<std::string> paths = LocalFiles(event->mimeData());
  if (paths.empty()) return;
  event->acceptProposedAction();
  host_.Drop(std::move(paths));
}

}  // namespace vq
