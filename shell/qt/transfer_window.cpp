// The "VQ7000B Viewer [File Transfer]" window: the analyzer's and the PC's file lists, the
// "Memory:" buttons, the address boxes, the toolbar and "File" menu, and the numbered log. The
// window decides nothing: it shows g.transfer and hands every click and key to the core's
// transfer functions, then shows the state they left.
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <array>
#include <functional>

#include "instrument.h"
#include "link/file_transfer.h"
#include "qt_host.h"

namespace vq {

namespace {

struct Column {
  const char* title;
  int width;
};
constexpr std::array<Column, 4> kColumns = {
    {{"File name", 280}, {"Size", 60}, {"File Type", 85}, {"Date & Time", 140}}};
constexpr int kSizeColumn = 1;

QString Text(const std::string& text) {
  return FromInstrumentText(text);
}

class TransferWindow;
TransferWindow* gOpenWindow = nullptr;  // the log's echo reaches the window through this

class TransferWindow final : public QDialog {
 public:
  explicit TransferWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FileTransfer"));
    setWindowTitle(QString::fromLatin1(kTransferWindowTitle));
    auto* layout = new QVBoxLayout(this);
    BuildMenuAndToolbar(*layout);

    auto* hostRow = new QHBoxLayout;
    hostRow->addWidget(new QLabel(QStringLiteral("Computer name / IP Address:"), this));
    auto* host = new QLineEdit(Text(GInstrument->link.host), this);
    host->setObjectName(QStringLiteral("host"));
    host->setReadOnly(true);
    hostRow->addWidget(host, 1);
    layout->addLayout(hostRow);

    auto* lists = new QHBoxLayout;
    lists->addWidget(BuildAnalyzerGroup());
    lists->addWidget(BuildPcGroup());
    layout->addLayout(lists, 1);

    log_ = new QListWidget(this);
    log_->setObjectName(QStringLiteral("log"));
    log_->setMinimumHeight(120);
    layout->addWidget(log_);

    // Which list has the focus is the core's to know: New Folder and Delete follow it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
      if (now == nullptr || !isAncestorOf(now)) return;  // a box of ours or another window
      SetTransferFocus(now == analyzerList_ ? TransferSide::Analyzer
                       : now == pcList_     ? TransferSide::Pc
                                            : TransferSide::None);
      ShowButtons();
    });
    gOpenWindow = this;
    GInstrument->transfer.log.echo = [](const std::string& line) {
      if (gOpenWindow) gOpenWindow->ShowLineNow(line);
    };
    Refresh();
  }

  ~TransferWindow() override {
    GInstrument->transfer.log.echo = nullptr;
    gOpenWindow = nullptr;
  }

  // Everything the window shows, from the core's state.
  void Refresh() {
    const TransferState& t = GInstrument->transfer;
    FillList(analyzerList_, t.analyzer);
    FillList(pcList_, t.pc);
    analyzerAddress_->setText(Text(t.analyzerDirectory));
    pcAddress_->setText(QString::fromStdString(t.pcFolder));
    (CurrentMemory() == TransferMemory::Ext ? ext_ : int_)->setChecked(true);
    ShowLog();
    ShowButtons();
    if (t.closeRequested) QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection);
  }

  // A line added while a command runs is shown at once: the event loop waits for the command.
  void ShowLineNow(const std::string& line) {
    const QSignalBlocker quiet(log_);
    log_->addItem(Text(line));
    while (log_->count() > static_cast<int>(kTransferLogLines)) delete log_->takeItem(0);
    ShowNewestLine();
    log_->repaint();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || (watched != analyzerList_ && watched != pcList_))
      return QDialog::eventFilter(watched, event);
    const TransferSide side = watched == analyzerList_ ? TransferSide::Analyzer : TransferSide::Pc;
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        Run([side] { OpenSelectedFolder(side); });
        return true;
      case Qt::Key_Backspace:
        Run([side] { GoUp(side); });
        return true;
      case Qt::Key_Delete:
        SetTransferFocus(side);
        Run(DeleteCommand);
        return true;
      default:
        return QDialog::eventFilter(watched, event);
    }
  }

 private:
  void BuildMenuAndToolbar(QVBoxLayout& layout) {
    QStyle* style = this->style();
    download_ = new QAction(style->standardIcon(QStyle::SP_ArrowDown), "Download", this);
    upload_ = new QAction(style->standardIcon(QStyle::SP_ArrowUp), "Upload", this);
    delete_ = new QAction(style->standardIcon(QStyle::SP_TrashIcon), "Delete", this);
    newFolder_ =
        new QAction(style->standardIcon(QStyle::SP_FileDialogNewFolder), "New Folder", this);
    auto* exit = new QAction(style->standardIcon(QStyle::SP_DialogCloseButton), "Exit", this);
    connect(download_, &QAction::triggered, this, [this] { Run(DownloadCommand); });
    connect(upload_, &QAction::triggered, this, [this] { Run(UploadCommand); });
    connect(delete_, &QAction::triggered, this, [this] { Run(DeleteCommand); });
    connect(newFolder_, &QAction::triggered, this, [this] { Run(NewFolderCommand); });
    connect(exit, &QAction::triggered, this, &QDialog::accept);

    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu(QStringLiteral("File"));
    file->addActions({download_, upload_, delete_, newFolder_});
    file->addSeparator();
    file->addAction(exit);
    layout.setMenuBar(menuBar);

    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("toolbar"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->addSeparator();
    toolbar->addActions({download_, upload_});
    toolbar->addSeparator();
    toolbar->addActions({delete_, newFolder_});
    toolbar->addSeparator();
    toolbar->addAction(exit);
    layout.addWidget(toolbar);
  }

  QTreeWidget* MakeList(const char* name, TransferSide side) {
    auto* list = new QTreeWidget(this);
    list->setObjectName(QString::fromLatin1(name));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setColumnCount(static_cast<int>(kColumns.size()));
    QStringList titles;
    for (const Column& c : kColumns) titles << QString::fromLatin1(c.title);
    list->setHeaderLabels(titles);
    for (int i = 0; i < static_cast<int>(kColumns.size()); ++i)
      list->setColumnWidth(i, kColumns[i].width);
    list->headerItem()->setTextAlignment(kSizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    list->setMinimumWidth(300);
    list->installEventFilter(this);
    connect(list, &QTreeWidget::itemSelectionChanged, this, [this, list, side] {
      TakeSelection(list, side);
      ShowButtons();
    });
    // After the click's own handling: the command lists the folder anew, rows and all.
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this, side] {
      QTimer::singleShot(0, this, [this, side] { Run([side] { OpenSelectedFolder(side); }); });
    });
    return list;
  }

  QLineEdit* AddressBox(const char* name) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    return box;
  }

  QGroupBox* BuildAnalyzerGroup() {
    auto* group = new QGroupBox(QStringLiteral("VQ7000B File List"), this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Address:"), group), 0, 0);
    analyzerAddress_ = AddressBox("analyzerAddress");
    grid->addWidget(analyzerAddress_, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Memory:"), group), 1, 0);
    int_ = new QRadioButton(QStringLiteral("INT"), group);
    ext_ = new QRadioButton(QStringLiteral("EXT"), group);
    int_->setObjectName(QStringLiteral("int"));
    ext_->setObjectName(QStringLiteral("ext"));
    grid->addWidget(int_, 1, 1);
    grid->addWidget(ext_, 1, 2);
    grid->setColumnStretch(3, 1);
    auto* memory = new QButtonGroup(group);
    memory->addButton(int_);
    memory->addButton(ext_);
    connect(int_, &QRadioButton::clicked, this,
            [this] { Run([] { SelectMemory(TransferMemory::Int); }); });
    connect(ext_, &QRadioButton::clicked, this,
            [this] { Run([] { SelectMemory(TransferMemory::Ext); }); });
    analyzerList_ = MakeList("analyzerList", TransferSide::Analyzer);
    grid->addWidget(analyzerList_, 2, 0, 1, 4);
    return group;
  }

  QGroupBox* BuildPcGroup() {
    auto* group = new QGroupBox(QStringLiteral("PC File List"), this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Address:"), group), 0, 0);
    pcAddress_ = AddressBox("pcAddress");
    grid->addWidget(pcAddress_, 0, 1);
    auto* browse = new QPushButton(QStringLiteral("..."), group);
    browse->setObjectName(QStringLiteral("browse"));
    browse->setAutoDefault(false);
    browse->setMaximumWidth(40);
    grid->addWidget(browse, 0, 2);
    connect(browse, &QPushButton::clicked, this, [this] { Run(BrowsePcFolder); });
    // Keeps the list level with the analyzer side's, below its "Memory:" row.
    grid->setRowMinimumHeight(1, int_->sizeHint().height());
    pcList_ = MakeList("pcList", TransferSide::Pc);
    grid->addWidget(pcList_, 2, 0, 1, 3);
    return group;
  }

  void FillList(QTreeWidget* list, const TransferList& from) {
    const QSignalBlocker quiet(list);
    list->clear();
    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon file = style()->standardIcon(QStyle::SP_FileIcon);
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(from.entries.size()));
    for (const TransferEntry& e : from.entries) {
      auto* row = new QTreeWidgetItem(
          {Text(e.name), Text(TransferSizeText(e)), Text(e.typeText), Text(e.dateText)});
      row->setIcon(0, e.kind == kTransferFolder ? folder : file);
      row->setTextAlignment(kSizeColumn, Qt::AlignRight | Qt::AlignVCenter);
      rows.push_back(row);
    }
    list->addTopLevelItems(rows);
    for (size_t i = 0; i < from.entries.size(); ++i)
      if (from.entries[i].selected) rows[static_cast<qsizetype>(i)]->setSelected(true);
  }

  // The rows are the core's entries in the same order.
  void TakeSelection(QTreeWidget* list, TransferSide side) {
    TransferState& t = GInstrument->transfer;
    std::vector<TransferEntry>& entries =
        side == TransferSide::Analyzer ? t.analyzer.entries : t.pc.entries;
    const int rows = list->topLevelItemCount();
    for (int i = 0; i < rows && i < static_cast<int>(entries.size()); ++i)
      entries[static_cast<size_t>(i)].selected = list->topLevelItem(i)->isSelected();
  }

  void ShowButtons() {
    const TransferButtons b = TransferButtonStates();
    download_->setEnabled(b.download);
    upload_->setEnabled(b.upload);
    delete_->setEnabled(b.remove);
    newFolder_->setEnabled(b.newFolder);
  }

  void ShowLog() {
    const std::deque<std::string>& lines = GInstrument->transfer.log.lines;
    const QSignalBlocker quiet(log_);
    log_->clear();
    for (const std::string& line : lines) log_->addItem(Text(line));
    ShowNewestLine();
  }

  void ShowNewestLine() {
    if (log_->count() == 0) return;
    log_->setCurrentRow(log_->count() - 1);  // the newest line is selected
    log_->scrollToBottom();
  }

  // One command to its end (the window takes no input meanwhile), then what it left.
  void Run(const std::function<void()>& command) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    command();
    QApplication::restoreOverrideCursor();
    Refresh();
  }

  QAction* download_ = nullptr;
  QAction* upload_ = nullptr;
  QAction* delete_ = nullptr;
  QAction* newFolder_ = nullptr;
  QLineEdit* analyzerAddress_ = nullptr;
  QLineEdit* pcAddress_ = nullptr;
  QRadioButton* int_ = nullptr;
  QRadioButton* ext_ = nullptr;
  QTreeWidget* analyzerList_ = nullptr;
  QTreeWidget* pcList_ = nullptr;
  QListWidget* log_ = nullptr;
};

}  // namespace

void QtHost::RunFileTransferWindow() {
  TransferWindow window(DialogParent());
  window.resize(1200, 640);
  window.exec();
}

}  // namespace vq
