#include "drop_files.h"

#include "text.h"

namespace velmar {
namespace {

constexpr wchar_t kTitle[] = L"VelmarPro";

// The control's own visibility: its window may be hidden while it takes a drop
// (under test), the control laid out away may not.
bool Contains(HWND control, POINT screen) {
  RECT r{};
  return control && (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) && GetWindowRect(control, &r) &&
         PtInRect(&r, screen);
}

}  // namespace

std::vector<DroppedFile> DroppedFiles(HDROP drop) {
  std::vector<DroppedFile> files;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    if (path.empty()) continue;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    files.push_back({path, attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)});
  }
  return files;
}

POINT DropPoint(HDROP drop, HWND window) {
  POINT at{};
  DragQueryPoint(drop, &at);
  ClientToScreen(window, &at);
  return at;
}

void FileDrop::Attach(DropHost host) {
  host_ = std::move(host);
  DragAcceptFiles(host_.window, TRUE);
}

void FileDrop::OnDropFiles(HDROP drop) {
  const std::vector<DroppedFile> files = DroppedFiles(drop);
  const POINT at = DropPoint(drop, host_.window);
  DragFinish(drop);  // everything is read: the questions below may take a while

  if (files.empty()) return;
  if (host_.busy && host_.busy()) {
    Tell(ui::Widen("Подождите: идёт преобразование. Перетащите файл, когда оно закончится."));
    return;
  }
  // A window of the program's own (the table editor, the module window) holds
  // the main window disabled: a reload or a new text under it would pull the
  // ground from under that window.
  if (!IsWindowEnabled(host_.window)) {
    Tell(ui::Widen("Сначала закройте открытое окно программы, затем перетащите файл снова."));
    return;
  }
  const DropDecision decision = DecideDrop(AreaAt(at), files);
  switch (decision.action) {
    case DropAction::OpenText:
      host_.openText(files.front().path.wstring());
      break;
    case DropAction::AddTables:
      AddTables(files);
      break;
    case DropAction::Refuse:
      if (!decision.reason.empty()) Tell(ui::Widen(decision.reason));
      break;
  }
}

DropArea FileDrop::AreaAt(POINT screen) const {
  if (Contains(host_.sourceBox, screen)) return DropArea::SourceBox;
  if (Contains(host_.tableList, screen)) return DropArea::TableList;
  return DropArea::Elsewhere;
}

void FileDrop::AddTables(const std::vector<DroppedFile>& files) {
  bool changed = false;
  std::wstring report;
  for (const DroppedFile& file : files) {
    const AddResult result = AddTableFile(file.path, host_.tableFolder, [this](const std::filesystem::path& existing) {
      return Ask(ui::Widen(ReplaceQuestion(existing)));
    });
    switch (result.outcome) {
      case AddOutcome::Added:
      case AddOutcome::Replaced:
        changed = true;
        break;
      case AddOutcome::AlreadyThere:
        report += L"«" + result.target.filename().wstring() + L"»" +
                  ui::Widen(" уже лежит в папке Table и есть в списке.") + L"\n";
        break;
      case AddOutcome::Refused:
        report += ui::Widen(result.reason) + L"\n";
        break;
      case AddOutcome::Kept:
        break;
    }
  }
  // The list follows before the user reads about the files that did not join it.
  if (changed) host_.reloadTables();
  if (!report.empty()) {
    report.pop_back();
    Tell(report);
  }
}

bool FileDrop::Ask(const std::wstring& question) const {
  if (host_.ask) return host_.ask(question);
  return MessageBoxW(host_.window, question.c_str(), kTitle, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void FileDrop::Tell(const std::wstring& message) const {
  if (host_.tell) return host_.tell(message);
  MessageBoxW(host_.window, message.c_str(), kTitle, MB_OK | MB_ICONINFORMATION);
}

}  // namespace velmar
