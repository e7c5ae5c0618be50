// A host without a window: for the command-line tool and the tests. Dialogs answer from a script.
#include "platform/headless_host.h"

#include <chrono>
#include <thread>

#include "platform/image_files.h"

namespace vq {

HeadlessHost::HeadlessHost() {
  for (int c = kCmdViewerFirst; c <= kCmdViewerLast; ++c) menu[c] = MenuItemState{};
}

bool HeadlessHost::CreateMainWindow(const std::string& windowTitle) {
  if (failWindowCreation) return false;
  title = windowTitle;
  created = true;
  return true;
}

void HeadlessHost::PostQuit(int code) {
  quit = true;
  exitCode = code;
}

void HeadlessHost::FitWindowToClient(int clientWidth, int clientHeight) {
  clientSize = {clientWidth, clientHeight};
}

void HeadlessHost::SetStatusText(int part, const std::string& text) {
  if (part >= 0 && part < 4) statusTexts[part] = text;
}

void HeadlessHost::Present(const Surface&) {
  ++presents;
}

void HeadlessHost::PostWake() {
  Post(WM_COMMAND, kCmdWake, 0);
}

void HeadlessHost::Sleep(int ms) {
  sleptMs += ms;
  if (realSleep) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

BoxAnswer HeadlessHost::MessageBox(const std::string& text, const std::string& caption,
                                   BoxButtons buttons, BoxIcon icon) {
  boxes.push_back({text, caption, icon});
  if (buttons == BoxButtons::Ok || boxAnswers.empty()) return BoxAnswer::Ok;
  const BoxAnswer answer = boxAnswers.front();
  boxAnswers.pop_front();
  return answer;
}

void HeadlessHost::ShowAbout(const std::string& aboutTitle, const std::vector<std::string>& lines) {
  std::vector<std::string> shownLines{aboutTitle};
  shownLines.insert(shownLines.end(), lines.begin(), lines.end());
  aboutDialogs.push_back(std::move(shownLines));
}

bool HeadlessHost::AskFolderSetting(FolderChoice& choice) {
  folderDialogs.push_back(choice);
  if (folderAnswers.empty() || !folderAnswers.front()) {
    if (!folderAnswers.empty()) folderAnswers.pop_front();
    return false;
  }
  choice = *folderAnswers.front();
  folderAnswers.pop_front();
  return true;
}

void HeadlessHost::RunConnectionDialog(const ConnectFields& shown,
                                       const std::function<bool(const ConnectFields&)>& onConnect) {
  connectDialogs.push_back(shown);
  while (!connectAnswers.empty()) {
    const std::optional<ConnectFields> press = connectAnswers.front();
    connectAnswers.pop_front();
    if (!press || onConnect(*press)) return;
  }
}

int HeadlessHost::PrintImage(const std::vector<uint8_t>& bmp, const std::string& documentName) {
  if (printPath.empty()) return -1;
  Surface image;
  if (!DecodeBmp(bmp, image)) return -1;
  // An A4 page in points; the placement follows the printer rule on the page width.
  const PrintRect r = PrintPlacement(595, 0, image.width, image.height);
  const std::vector<uint8_t> pdf =
      EncodePdfWithImage(image, image.width, image.height, r.x, r.y, r.width, r.height);
  if (!WriteFileAtomic(printPath, pdf)) return -1;
  printedDocuments.push_back(documentName);
  return 0;
}

void HeadlessHost::RunFileTransferWindow() {
  ++transferWindows;
  if (transferScript) transferScript();
}

OverwriteChoice HeadlessHost::AskOverwrite(const std::string& text, const std::string& path) {
  overwriteQuestions.push_back(text + "|" + path);
  if (overwriteAnswers.empty()) return overwriteDefault;
  const OverwriteChoice answer = overwriteAnswers.front();
  overwriteAnswers.pop_front();
  return answer;
}

namespace {

// Takes the next scripted text answer; nothing (Cancel) when the script has run out.
std::optional<std::string> TakeAnswer(std::deque<std::optional<std::string>>& answers) {
  if (answers.empty()) return std::nullopt;
  std::optional<std::string> answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

}  // namespace

bool HeadlessHost::AskNewFolderName(std::string& name) {
  ++folderNameDialogs;
  const std::optional<std::string> answer = TakeAnswer(folderNameAnswers);
  if (!answer) return false;
  name = answer->substr(0, 50);  // the dialog's name box holds 50 characters
  return true;
}

bool HeadlessHost::BrowseForFolder(const std::string& browseTitle, std::string& folder) {
  browseTitles.push_back(browseTitle);
  const std::optional<std::string> answer = TakeAnswer(browseAnswers);
  if (!answer) return false;
  folder = *answer;
  return true;
}

void HeadlessHost::Post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back({message, wParam, lParam});
  }
  posted_.notify_one();
}

bool HeadlessHost::TakePosted(PostedMessage& out) {
  std::lock_guard lock(mutex_);
  if (queue_.empty()) return false;
  out = queue_.front();
  queue_.pop_front();
  return true;
}

bool HeadlessHost::WaitForPosted(int timeoutMs) {
  std::unique_lock lock(mutex_);
  return posted_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return !queue_.empty(); });
}

}  // namespace vq
