// The Qt host: window life, geometry, status and menu bar, frames, the loop and timers.
#include "qt_host.h"

#include <QApplication>
#include <QLayout>
#include <QMenu>
#include <QPrinter>
#include <QScreen>
#include <QThread>
#include <algorithm>

#include "frame/frame.h"
#include "instrument.h"
#include "main_window.h"
#include "screen_widget.h"
#include "status_bar.h"

namespace vq {

QString FromInstrumentText(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QtHost::QtHost() {
  idle_.setInterval(0);
  QObject::connect(&idle_, &QTimer::timeout, [this] { IdleTick(); });
}

QtHost::~QtHost() = default;

bool QtHost::CreateMainWindow(const std::string& title) {
  window_ = std::make_unique<MainWindow>(*this, FromInstrumentText(title));
  window_->move(0, 0);
  destroyed_ = false;
  return true;
}

void QtHost::ShowMainWindow() {
  if (window_) window_->show();
}

void QtHost::DestroyMainWindow() {
  destroyed_ = true;
  idle_.stop();
  for (auto& [id, timer] : timers_) timer->stop();  // timers die with their window
  if (window_) window_->Dismiss();
}

void QtHost::PostQuit(int exitCode) {
  QMetaObject::invokeMethod(
      &idle_,
      [exitCode] {
        // Nothing to end when no loop runs (tests drive events by hand).
        if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(exitCode);
      },
      Qt::QueuedConnection);
}

void QtHost::BringToForeground() {
  if (!window_) return;
  window_->raise();
  window_->activateWindow();
}

Size QtHost::DesktopSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  return {screen->geometry().width(), screen->geometry().height()};
}

int QtHost::StatusBarHeight() {
  return window_ ? window_->Status()->sizeHint().height() : 0;
}

void QtHost::FitWindowToClient(int clientWidth, int clientHeight) {
  if (!window_) return;
  window_->Screen()->setFixedSize(clientWidth, clientHeight);
  window_->layout()->activate();
  window_->setFixedSize(window_->sizeHint());
  // The window's frame starts inside the work area (not under a panel at the top or left).
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect work = screen->availableGeometry();
    const QPoint at = window_->pos();
    window_->move(std::max(at.x(), work.left()), std::max(at.y(), work.top()));
  }
}

void QtHost::SetStatusParts(const std::array<int, 4>& rightEdges) {
  if (window_) window_->Status()->SetParts(rightEdges);
}

void QtHost::SetStatusText(int part, const std::string& text) {
  if (window_) window_->Status()->SetText(part, FromInstrumentText(text));
}

void QtHost::SetStatusIcon(StatusIcon icon) {
  if (window_) window_->Status()->SetIcon(icon);
}

void QtHost::EnableMenuItem(int command, bool enabled) {
  if (QAction* action = window_ ? window_->FindAction(command) : nullptr) {
    action->setEnabled(enabled);
  }
}

void QtHost::RemoveMenuItem(int command) {
  QAction* action = window_ ? window_->FindAction(command) : nullptr;
  if (action == nullptr) return;
  if (auto* menu = qobject_cast<QMenu*>(action->parent())) menu->removeAction(action);
  action->deleteLater();
}

void QtHost::Present(const Surface& frame) {
  if (window_) window_->Screen()->Present(frame);
}

void QtHost::PostWake() {
  // From any thread: the wake command runs on the GUI thread and restarts the idle step.
  QMetaObject::invokeMethod(
      &idle_, [this] { Send(WM_COMMAND, kCmdWake, 0); }, Qt::QueuedConnection);
}

void QtHost::StartTimer(int id, int periodMs) {
  std::unique_ptr<QTimer>& timer = timers_[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [this, id] { Send(WM_TIMER, id, 0); });
  }
  timer->start(periodMs);
}

void QtHost::StopTimer(int id) {
  if (auto found = timers_.find(id); found != timers_.end()) found->second->stop();
}

void QtHost::Sleep(int ms) {
  QThread::msleep(static_cast<unsigned long>(std::max(0, ms)));
}

void QtHost::KeepScreenAlive() {
  // Paints at once, without the event loop: no other event may run inside a link exchange.
  if (!window_ || !window_->isVisible()) return;
  window_->Screen()->repaint();
  window_->Status()->repaint();
}

void QtHost::SetCursorShape(CursorShape shape) {
  if (!window_) return;
  Qt::CursorShape cursor = Qt::ArrowCursor;
  switch (shape) {
    case CursorShape::Arrow:
      cursor = Qt::ArrowCursor;
      break;
    case CursorShape::Hand:
      cursor = Qt::PointingHandCursor;
      break;
    case CursorShape::HandPressed:
      cursor = Qt::ClosedHandCursor;
      break;
    case CursorShape::SizeHorizontal:
      cursor = Qt::SizeHorCursor;
      break;
    case CursorShape::SizeVertical:
      cursor = Qt::SizeVerCursor;
      break;
    case CursorShape::Wait:
      cursor = Qt::WaitCursor;
      break;
  }
  window_->Screen()->setCursor(cursor);
}

int QtHost::RunLoop() {
  KickIdle();
  return QApplication::exec();
}

bool QtHost::CoreAttached() const {
  // No context (torn down) or no window any more: nothing is delivered, as to a destroyed window.
  return GInstrument != nullptr && window_ && !destroyed_;
}

intptr_t QtHost::Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (!CoreAttached()) return 0;
  ++coreDepth_;
  const intptr_t result = WindowProc(message, wParam, lParam);
  --coreDepth_;
  KickIdle();
  return result;
}

void QtHost::Drop(std::vector<std::string> paths) {
  if (!CoreAttached()) return;
  SetDroppedFiles(std::move(paths));
  Send(WM_DROPFILES, 0, 0);
}

void QtHost::KickIdle() {
  // Inside a core call (a modal dialog's loop) the core's own timer drives the idle step.
  if (coreDepth_ > 0 || !CoreAttached() || idle_.isActive()) return;
  if (!LoopMayBlock()) idle_.start();
}

void QtHost::IdleTick() {
  if (coreDepth_ > 0 || !CoreAttached() || LoopMayBlock()) {
    idle_.stop();  // nothing pending: the event loop may sleep
    return;
  }
  ++coreDepth_;
  IdleStep();
  --coreDepth_;
}

QWidget* QtHost::DialogParent() const {
  // A box raised from inside a dialog (the Connection dialog's errors) belongs to that dialog.
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return window_ && window_->isVisible() ? window_.get() : nullptr;
}

}  // namespace vq
