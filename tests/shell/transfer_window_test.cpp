// The File Transfer window on the offscreen platform, over a core state set up by hand (no
// analyzer): columns, rows, the memory buttons, the log, and the button states and keys, which
// come from the core's transfer functions.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "link/file_transfer.h"
#include "started_viewer.h"

namespace vq {
namespace {

TransferEntry Entry(const char* name, int32_t kind, uint32_t size, const char* date) {
  TransferEntry e;
  e.name = name;
  e.kind = kind;
  e.size = size;
  e.typeText = TransferTypeText(name, kind);
  e.dateText = date;
  return e;
}

QStringList Row(const QTreeWidget* list, int row) {
  QStringList texts;
  const QTreeWidgetItem* item = list->topLevelItem(row);
  for (int c = 0; item && c < list->columnCount(); ++c) texts << item->text(c);
  return texts;
}

QStringList EnabledActions(const QDialog& window) {
  QStringList names;
  for (QAction* a : window.findChild<QToolBar*>("toolbar")->actions()) {
    if (!a->isSeparator() && a->isEnabled()) names << a->text();
  }
  return names;
}

void Key(QWidget* to, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(to, &press);
}

class TransferWindowTest : public StartedViewerTest {};

TEST_F(TransferWindowTest, ShowsTheCoreStateAndFollowsItsButtonRules) {
  Start();
  const std::string pc = home_.path().toStdString() + "/pc/";
  std::filesystem::create_directories(pc + "data");
  std::ofstream(pc + "a.txt") << std::string(1025, 'a');
  TransferState& t = GInstrument->transfer;
  GInstrument->link.host = "192.168.0.7";
  t.pcFolder = pc;
  ListPc();
  t.analyzerDirectory = "INT:\\USER\\SUB";
  t.analyzer.entries = {Entry("..", kTransferFolder, 0, ""),
                        Entry("LOGS", kTransferFolder, 0, "2026/12/01 10:00:00"),
                        Entry("W0001.WV8", kTransferFile, 0, "2026/12/02 11:30:05"),
                        Entry("big.csv", kTransferFile, 1048576, "2026/12/03 00:00:59")};
  AddTransferLog("first");
  AddTransferLog("second");

  QStringList shown;
  QStringList analyzerRows, pcRows;
  QStringList states;
  std::string folderAfterBackspace;
  QTimer::singleShot(0, [&] {
    auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (window == nullptr) return;
    shown << window->windowTitle();
    for (const QGroupBox* g : window->findChildren<QGroupBox*>()) shown << g->title();
    auto* analyzer = window->findChild<QTreeWidget*>("analyzerList");
    auto* pcList = window->findChild<QTreeWidget*>("pcList");
    QStringList header;
    for (int c = 0; c < analyzer->columnCount(); ++c)
      header << analyzer->headerItem()->text(c) + "/" + QString::number(analyzer->columnWidth(c));
    shown << header.join(",");
    shown << window->findChild<QLineEdit*>("host")->text()
          << window->findChild<QLineEdit*>("analyzerAddress")->text()
          << QString::number(window->findChild<QRadioButton*>("int")->isChecked());
    for (int r = 0; r < analyzer->topLevelItemCount(); ++r)
      analyzerRows << Row(analyzer, r).join("|");
    for (int r = 0; r < pcList->topLevelItemCount(); ++r) pcRows << Row(pcList, r).join("|");
    const bool rightAligned = analyzer->topLevelItem(2)->textAlignment(1) & Qt::AlignRight &&
                              !analyzer->topLevelItem(1)->icon(0).isNull();
    shown << QString::number(rightAligned);
    auto* log = window->findChild<QListWidget*>("log");
    shown << QString::number(log->count()) << log->currentItem()->text();

    // Nothing selected, no list focused: only Exit.
    states << EnabledActions(*window).join(",");
    pcList->setFocus();
    QApplication::processEvents();
    states << EnabledActions(*window).join(",");
    pcList->topLevelItem(pcList->topLevelItemCount() - 1)->setSelected(true);  // a.txt
    states << EnabledActions(*window).join(",");
    analyzer->topLevelItem(2)->setSelected(true);  // the analyzer's selection, PC still focused
    states << EnabledActions(*window).join(",");

    // Backspace goes up one folder on the PC side, and the address follows.
    Key(pcList, Qt::Key_Backspace);
    folderAfterBackspace = window->findChild<QLineEdit*>("pcAddress")->text().toStdString();
    for (QAction* a : window->findChild<QToolBar*>("toolbar")->actions()) {
      if (a->text() == "Exit") a->trigger();
    }
  });
  host_.RunFileTransferWindow();

  EXPECT_EQ(
      shown,
      (QStringList{"VQ7000B Viewer [File Transfer]", "VQ7000B File List", "PC File List",
                   "File name/280,Size/60,File Type/85,Date & Time/140", "192.168.0.7",
                   "INT:\\USER\\SUB", "1", "1", "2", QString::fromStdString(t.log.lines.back())}));
  EXPECT_EQ(analyzerRows, (QStringList{"..||File Folder|", "LOGS||File Folder|2026/12/01 10:00:00",
                                       "W0001.WV8|0 KB|WV8 File|2026/12/02 11:30:05",
                                       "big.csv|1024 KB|csv File|2026/12/03 00:00:59"}));
  ASSERT_EQ(pcRows.size(), 3);
  EXPECT_TRUE(pcRows[0].startsWith("..|"));
  EXPECT_TRUE(pcRows[1].startsWith("data||File Folder|"));
  EXPECT_TRUE(pcRows[2].startsWith("a.txt|2 KB|txt File|"));
  EXPECT_EQ(states, (QStringList{"Exit", "New Folder,Exit", "Upload,Delete,New Folder,Exit",
                                 "Download,Upload,Delete,New Folder,Exit"}));
  EXPECT_EQ(folderAfterBackspace, home_.path().toStdString() + "/");
}

}  // namespace
}  // namespace vq
