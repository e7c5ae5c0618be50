// The main window: menu bar, instrument screen and status bar; its events become core messages.
#pragma once

#include <QMainWindow>

namespace vq {

class QtHost;
class ScreenWidget;
class StatusBar;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(QtHost& host, const QString& title);

  ScreenWidget* Screen() const { return screen_; }
  StatusBar* Status() const { return status_; }
  // The menu bar item that sends this command; null when there is none (or it was removed).
  QAction* FindAction(int command) const;
  // Closes the window for the core; inside closeEvent the event itself is accepted instead.
  void Dismiss();

 private slots:
  // logind announces a suspend (true) or the resume (false).
  void PrepareForSleep(bool starting);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void WatchScreen(QScreen* screen);

  QtHost& host_;
  ScreenWidget* screen_;
  StatusBar* status_;
  bool inCloseEvent_ = false;
};

}  // namespace vq
