// Fixture of the dialog tests: the Qt viewer started in a fresh configuration folder on the
// offscreen platform, with its first screen drawn.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "frame/frame.h"
#include "instrument.h"
#include "main_window.h"
#include "qt_host.h"
#include "screen_widget.h"

namespace vq {

class StartedViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid());
    qputenv("VQ_HOME", home_.path().toUtf8());
  }
  void TearDown() override {
    if (!instrument_) return;
    if (host_.Window() != nullptr && !host_.WindowDestroyed()) host_.Window()->close();
    DestroyInstrument(instrument_);
  }

  void WriteHomeFile(const char* name, const char* text) {
    QFile file(home_.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }

  void Start() {
    instrument_ = CreateInstrument(host_);
    ASSERT_TRUE(StartUp(host_, {home_.path().toStdString(), false}).running);
    QElapsedTimer clock;
    clock.start();
    while (host_.Window()->Screen()->Image().isNull() && clock.elapsed() < 5000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_FALSE(host_.Window()->Screen()->Image().isNull());
  }

  QTemporaryDir home_;
  QtHost host_;
  std::unique_ptr<Instrument> instrument_;
};

}  // namespace vq
