#include "uTableEditor.h"

#include <commctrl.h>
#include <shellapi.h>

#include "accessible.h"
#include "file_dialog.h"

#include <algorithm>
#include <string>
#include <utility>

#include "program_path.h"
#include "table_edit_model.h"
#include "editor_text.h"
#include "text.h"
#include "uTableParam.h"

namespace velmar {
namespace {

constexpr int kClientWidth = 568, kClientHeight = 379;
constexpr int kToolbarHeight = 34, kPanelHeight = 48, kSampleHeight = 28, kRowHeight = 26;
constexpr int kTargetFlagX = 260;  // the target column of a row starts at its flag
constexpr COLORREF kListColour = RGB(243, 249, 252);
constexpr COLORREF kSelectedFill = RGB(255, 235, 174), kSelectedBorder = RGB(255, 200, 34);
constexpr wchar_t kTitle[] = L"Редактор таблиц";
constexpr wchar_t kFilter[] = L"Таблица транслитерации (*.table)\0*.table\0";
// A message lists this many rows at most, then says how many more there are.
constexpr std::size_t kListedRows = 8;

// The file the user chose, or nothing when cancelled. No default extension,
// no starting folder, no question before overwriting.
std::filesystem::path ChooseTableFile(HWND owner, bool save) { return ui::ChooseFile(owner, save, kFilter, false); }

std::wstring Quoted(const TTransTable& table, const std::string& text) {
  return L"\u00AB" + ShownText(table, text) + L"\u00BB";
}

const wchar_t* ProblemText(PairProblem problem) {
  switch (problem) {
    case PairProblem::SourceBlankAtEdge:
      return L"пробел в начале или в конце оригинала при чтении пропадёт (пробел пишется как \u00AB_\u00BB)";
    case PairProblem::SourceHasEquals:
      return L"оригинал не может содержать \u00AB=\u00BB: пара прочиталась бы иначе";
    case PairProblem::SourceStartsBracket:
      return L"оригинал не может начинаться с \u00AB[\u00BB: строка открыла бы новый раздел и забрала бы все "
             L"следующие пары";
    case PairProblem::ContextUnreadable:
      return L"условия после \u00AB@\u00BB не читаются: можно start, end, after:НАБОР, before:НАБОР через запятую";
    case PairProblem::ContextUnknownSet:
      return L"условие называет набор букв, которого нет в параметрах таблицы";
    case PairProblem::SetBadName:
      return L"имя набора может состоять только из латинских букв и цифр";
    case PairProblem::SetNoLetters:
      return L"в наборе нет букв";
    case PairProblem::OutsideCodePage:
      return L"знаки, которых нет в кодировке Windows-1251, станут \u00AB?\u00BB";
  }
  return L"";
}

// Why a file was not written, for the line under "Unable to write to %s".
std::wstring WriteFailureText(WriteFailure failure) {
  switch (failure) {
    case WriteFailure::ReadOnly:
      return L"Файл доступен только для чтения. Таблица не сохранена, файл остался прежним.";
    case WriteFailure::Create:
      return L"В этой папке нельзя создать файл. Таблица не сохранена.";
    case WriteFailure::Write:
      return L"Файл не удалось записать целиком (нет места на диске?). Прежний файл остался как был.";
    case WriteFailure::Replace:
      return L"Файл занят другой программой или к нему нет доступа. Прежний файл остался как был.";
    case WriteFailure::None:
      break;
  }
  return L"";
}

// F1, and the "?" of the caption: the guide to the table format, shipped
// beside the program as plain text.
constexpr wchar_t kFormatGuide[] = L"TableFormat.txt";

void OpenFormatGuide(HWND owner) {
  const std::wstring guide = (ui::ProgramPath().parent_path() / kFormatGuide).wstring();
  const auto result =
      reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"open", guide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) ui::ShowError(owner, L"Cannot open " + guide);
}

// What the main window says when a text is too large to convert.
constexpr wchar_t kNotEnoughMemory[] = L"Недостаточно памяти для преобразования этого текста";

}  // namespace

TTableEditForm::TTableEditForm() : table_(std::make_unique<TTransTable>(NewEditorTable())) {}

std::vector<std::filesystem::path> TTableEditForm::ShowModal(HWND owner, const std::filesystem::path& file) {
  owner_ = owner;
  dpi_ = ui::ScaleForWindow(owner);  // opens over its owner, on its monitor
  LoadPictures();  // before the window exists: decoding may pump messages
  MakeFonts();
  Register(kTableEditClass, nullptr, GetSysColorBrush(COLOR_BTNFACE), nullptr);
  CreateDialogWindow(kTableEditClass, kTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                     WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_CONTEXTHELP, {kClientWidth, kClientHeight},
                     dpi_, owner);
  CreateControls();
  Layout();

  // The keys of the buttons carry the buttons' ids: the key clicks its button.
  ACCEL keys[] = {
      {FVIRTKEY | FCONTROL, 'O', static_cast<WORD>(EditorId::sSpeedButton1)},
      {FVIRTKEY | FCONTROL, 'S', static_cast<WORD>(EditorId::sSpeedButton2)},
      {FVIRTKEY | FALT, VK_UP, static_cast<WORD>(EditorId::btn_Up)},
      {FVIRTKEY | FALT, VK_DOWN, static_cast<WORD>(EditorId::btn_Down)},
      {FVIRTKEY, VK_F1, static_cast<WORD>(EditorId::FormatGuide)},
  };
  accelerators_.Reset(CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));

  FormShow();
  SetFocus(Edit1_.hwnd());
  // A file is loaded over the window, which its messages may need.
  RunModal(done_, accelerators_.get(), [&] {
    SetForegroundWindow(hwnd_);
    if (!file.empty()) LoadFromFile(file);
  });
  return saved_;
}

void TTableEditForm::LoadPictures() {
  flags_ = ui::Image::FromResource(L"FLAGS16", dpi_);
  marker_ = ui::Image::FromResource(L"ICON_BLANK", dpi_);
  icons_ = ui::LoadIconPairs({L"TABLE_OPEN", L"TABLE_SAVE", L"PARAMS", L"CLOSE", L"REMOVE", L"UP", L"DOWN", L"ADD"},
                             dpi_);
}

void TTableEditForm::MakeFonts() {
  font_ = ui::MakeFont({L"Segoe UI", -11}, dpi_);
  listFont_ = ui::MakeFont({L"Segoe UI", -15}, dpi_);
  boldFont_ = ui::MakeFont({L"Segoe UI", -11, true}, dpi_);
}

// On a monitor of another scale: fonts and pictures anew, the rows as high
// as the new scale has them; the layout follows with the new size.
void TTableEditForm::DpiChanged(ui::Dpi) {
  const ui::Font font = std::move(font_), listFont = std::move(listFont_), boldFont = std::move(boldFont_);
  LoadPictures();
  MakeFonts();
  ui::ReplaceChildFonts(hwnd_, font.get(), font_.get());
  ui::ReplaceChildFonts(hwnd_, listFont.get(), listFont_.get());
  ui::ReplaceChildFonts(hwnd_, boldFont.get(), boldFont_.get());
  ListBox1_.SetItemHeight(dpi_(kRowHeight));
  Layout();
}

void TTableEditForm::AddButton(ui::FlatButton& button, EditorId id, const wchar_t* text, const wchar_t* icon,
                               const wchar_t* tip) {
  const ui::IconPair& pair = icons_.at(icon);
  button.Create(hwnd_, Id(id), text, ui::FlatButton::Look::IconOnly, &pair.normal, &pair.hot);
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = hwnd_;
  info.uId = reinterpret_cast<UINT_PTR>(button.hwnd());
  info.lpszText = const_cast<wchar_t*>(tip);
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  // Named by its caption; the tip, with the keys, is what a screen reader adds.
  ui::Accessibility accessibility;
  accessibility.description = tip;
  ui::SetAccessibility(button.hwnd(), std::move(accessibility));
}

// The controls in their tab order, and what each does.
void TTableEditForm::CreateControls() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                             0, 0, hwnd_, nullptr, ui::Instance(), nullptr);
  AddButton(sSpeedButton1_, EditorId::sSpeedButton1, L"Открыть", L"TABLE_OPEN", L"Открыть таблицу (Ctrl+O)");
  AddButton(sSpeedButton2_, EditorId::sSpeedButton2, L"Сохранить как", L"TABLE_SAVE",
            L"Сохранить таблицу как... (Ctrl+S)");
  Separator1_.Create(hwnd_, Id(EditorId::Separator1), L"", SS_ETCHEDVERT);
  AddButton(sSpeedButton4_, EditorId::sSpeedButton4, L"Параметры", L"PARAMS", L"Параметры таблицы");
  Separator2_.Create(hwnd_, Id(EditorId::Separator2), L"", SS_ETCHEDVERT);
  AddButton(sSpeedButton3_, EditorId::sSpeedButton3, L"Закрыть", L"CLOSE", L"Закрыть редактор");
  AddButton(btn_Delete_, EditorId::btn_Delete, L"Удалить", L"REMOVE", L"Удалить пару (Del)");
  AddButton(btn_Up_, EditorId::btn_Up, L"Выше", L"UP", L"Переместить пару выше (Alt+\u2191)");
  AddButton(btn_Down_, EditorId::btn_Down, L"Ниже", L"DOWN", L"Переместить пару ниже (Alt+\u2193)");
  Separator3_.Create(hwnd_, Id(EditorId::Separator3), L"", SS_ETCHEDVERT);

  ListBox1_.onSelect = [this] { ListBox1Click(); };
  ListBox1_.onDrawItem = [this](const DRAWITEMSTRUCT& item) { ListBox1DrawItem(item); };
  ListBox1_.onKeyDown = [this](WPARAM key) {
    if (key != VK_DELETE) return false;
    DeletePair();
    return true;
  };
  ListBox1_.Create(hwnd_, Id(EditorId::ListBox1), WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT, 0);
  SendMessageW(ListBox1_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
  ListBox1_.SetBackground(kListColour);

  AddButton(sSpeedButton5_, EditorId::sSpeedButton5, L"Добавить", L"ADD", L"Добавить новую пару");
  // The labels of the boxes carry access keys: Alt and the letter go to the box after the label.
  for (ui::Label* label : {&Label1_, &Label3_, &LabelSample_}) label->accessKey = true;
  constexpr DWORD kLabel = SS_LEFTNOWORDWRAP;
  Label1_.Create(hwnd_, Id(EditorId::Label1), L"&Орегинал:", kLabel);
  Edit1_.Create(hwnd_, Id(EditorId::Edit1));
  Label2_.Create(hwnd_, Id(EditorId::Label2), L">", kLabel);
  Label3_.Create(hwnd_, Id(EditorId::Label3), L"&Транскрипция:", kLabel);
  Edit2_.Create(hwnd_, Id(EditorId::Edit2));

  LabelSample_.Create(hwnd_, Id(EditorId::LabelSample), L"&Проба:", kLabel);
  EditSample_.Create(hwnd_, Id(EditorId::EditSample));
  LabelArrow_.Create(hwnd_, Id(EditorId::LabelArrow), L">", kLabel);
  EditResult_.Create(hwnd_, Id(EditorId::EditResult), ES_AUTOHSCROLL | ES_READONLY);
  StatusBar1_.Create(hwnd_, Id(EditorId::StatusBar1));
  for (ui::Label* arrow : {&Label2_, &LabelArrow_}) {
    SendMessageW(arrow->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), FALSE);
    arrow->SetTextColour(GetSysColor(COLOR_HIGHLIGHT));
  }

  sSpeedButton1_.onClick = [this] { sSpeedButton1Click(); };
  sSpeedButton2_.onClick = [this] { sSpeedButton2Click(); };
  sSpeedButton4_.onClick = [this] { sSpeedButton4Click(); };
  sSpeedButton3_.onClick = [this] { sSpeedButton3Click(); };
  sSpeedButton5_.onClick = [this] { sSpeedButton5Click(); };
  btn_Delete_.onClick = [this] { DeletePair(); };
  btn_Up_.onClick = [this] { MovePair(-1); };
  btn_Down_.onClick = [this] { MovePair(1); };
  Edit1_.onChange = [this] { EditChange(Edit1_); };
  Edit2_.onChange = [this] { EditChange(Edit2_); };
  EditSample_.onChange = [this] { UpdateSample(); };
  // Enter in the pair's boxes adds the new pair, as "+" does.
  onOk = [this] {
    HWND focus = GetFocus();
    if (Selected() < 0 && (focus == Edit1_.hwnd() || focus == Edit2_.hwnd())) sSpeedButton5Click();
  };
  // Esc lets a selected pair go, so what is typed next makes a new pair;
  // with none selected it closes the editor as "Закрыть" does.
  onCancel = [this] {
    if (Selected() >= 0) {
      ListBox1_.Select(-1);
      ShowEditState();
    } else {
      sSpeedButton3Click();
    }
  };
  DescribeControls();
}

// What a screen reader cannot learn from the controls themselves: the rows
// of the pair list are drawn, the arrows and the sample's result have no
// label of their own, the etched lines only decorate. The buttons are named
// by their captions, the other boxes by the labels before them.
void TTableEditForm::DescribeControls() {
  ui::Accessibility pairs;
  pairs.name = L"Пары таблицы";
  pairs.rowName = [this](int row) -> std::wstring {
    if (row >= table_->TableCount) return {};
    const TCharTable& pair = table_->Table[static_cast<std::size_t>(row)];
    return ShownText(*table_, pair.Source) + L" \u2192 " + ShownText(*table_, pair.Target);
  };
  ui::SetAccessibility(ListBox1_.hwnd(), std::move(pairs));
  for (const ui::Label* arrow : {&Label2_, &LabelArrow_}) ui::SetAccessibleName(arrow->hwnd(), L"\u2192");
  ui::SetAccessibleName(EditResult_.hwnd(), L"Результат пробы");
  for (const ui::Label* line : {&Separator1_, &Separator2_, &Separator3_}) ui::MarkSeparator(line->hwnd());
}

void TTableEditForm::Layout() {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const int W = rc.right, H = rc.bottom;
  StatusBar1_.Fit();
  const int statusHeight = StatusBar1_.Height();

  // Toolbar: open, save, | parameters, | close; the pair commands at the right.
  // Every length is one at 96 DPI, scaled by `S`.
  const ui::Dpi S = dpi_;
  sSpeedButton1_.Move(S(3), S(2), S(30), S(30));
  sSpeedButton2_.Move(S(33), S(2), S(30), S(30));
  Separator1_.Move(S(66), S(5), S(2), S(24));
  sSpeedButton4_.Move(S(71), S(2), S(30), S(30));
  Separator2_.Move(S(104), S(5), S(2), S(24));
  sSpeedButton3_.Move(S(109), S(2), S(30), S(30));
  Separator3_.Move(W - S(101), S(5), S(2), S(24));
  btn_Delete_.Move(W - S(96), S(2), S(30), S(30));
  btn_Up_.Move(W - S(64), S(2), S(30), S(30));
  btn_Down_.Move(W - S(33), S(2), S(30), S(30));

  const int sampleTop = H - statusHeight - S(kSampleHeight);
  const int panelTop = sampleTop - S(kPanelHeight);
  ListBox1_.Move(0, S(kToolbarHeight), W, panelTop - S(kToolbarHeight));

  // Bottom panel: add, then source > target.
  sSpeedButton5_.Move(S(4), panelTop + S(12), S(30), S(30));
  Label1_.Move(S(40), panelTop + S(4), S(249), S(15));
  Edit1_.Move(S(40), panelTop + S(20), S(249), S(23));
  Label2_.Move(S(293), panelTop + S(23), S(9), S(17));
  Label3_.Move(S(306), panelTop + S(4), S(249), S(15));
  Edit2_.Move(S(306), panelTop + S(20), S(249), S(23));

  // The sample line and its conversion with the table as it stands.
  LabelSample_.Move(S(4), sampleTop + S(6), S(34), S(15));
  EditSample_.Move(S(40), sampleTop + S(2), S(249), S(23));
  LabelArrow_.Move(S(293), sampleTop + S(5), S(9), S(17));
  EditResult_.Move(S(306), sampleTop + S(2), S(249), S(23));
}

int TTableEditForm::Selected() const {
  const int s = ListBox1_.Selected();
  return s >= 0 && s < table_->TableCount ? s : -1;
}

void TTableEditForm::SetEdits(const TCharTable& pair) {
  // The program fills the boxes: no pair follows them.
  Edit1_.SetTextQuietly(ShownText(*table_, pair.Source));
  Edit2_.SetTextQuietly(ShownText(*table_, pair.Target));
}

void TTableEditForm::FillList(int select) {
  HWND list = ListBox1_.hwnd();
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListBox1_.Clear();
  for (int i = 0; i < table_->TableCount; ++i) ListBox1_.Add({});  // the rows are drawn from the table
  ListBox1_.Select(select);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void TTableEditForm::Changed() {
  modified_ = true;
  InvalidateRect(ListBox1_.hwnd(), nullptr, TRUE);
  UpdateSample();
}

void TTableEditForm::FormShow() {
  *table_ = NewEditorTable();
  sections_ = {};
  openedEncoding_ = TableEncoding::Cp1251;
  modified_ = false;
  SetWindowTextW(hwnd_, kTitle);
  FillList(-1);
  for (const ui::Edit* edit : {&Edit1_, &Edit2_}) edit->Enable(true);
  ShowEditState();
}

void TTableEditForm::LoadFromFile(const std::filesystem::path& path) {
  const EditorLoad load = LoadEditorTable(path);
  if (!load.error.empty()) {
    // A byte order mark promised a Unicode text the file does not hold.
    const std::wstring text = L"Таблицу " + path.filename().wstring() + L" не удалось прочитать: " +
                              ui::Widen(load.error) + L".";
    MessageBoxW(hwnd_, text.c_str(), kTitle, MB_OK | MB_ICONWARNING);
    return;
  }
  *table_ = load.table;
  sections_ = load.sections;
  openedEncoding_ = load.table.Encoding;
  modified_ = false;
  const std::wstring caption = std::wstring(kTitle) + L" - " + path.filename().wstring() + L" [" +
                               ShownText(*table_, table_->From) + L" : " + ShownText(*table_, table_->To) + L"]";
  SetWindowTextW(hwnd_, caption.c_str());
  FillList(-1);
  UpdateSample();
  ShowEditState();
  if (load.Truncated()) {
    const std::wstring text = L"В файле " + std::to_wstring(load.keysInFile) + L" пар; показаны первые " +
                              std::to_wstring(kEditorPairCapacity) +
                              L": больше пар программа из одной таблицы не читает.";
    MessageBoxW(hwnd_, text.c_str(), kTitle, MB_OK | MB_ICONINFORMATION);
  }
}

void TTableEditForm::sSpeedButton1Click() {
  if (!ConfirmDiscard()) return;
  const std::filesystem::path path = ChooseTableFile(hwnd_, false);
  if (!path.empty()) LoadFromFile(path);
}

bool TTableEditForm::sSpeedButton2Click() {
  if (!RefuseUnwritable() || !ConfirmSaveAsShown()) return false;
  const std::filesystem::path chosen = ChooseTableFile(hwnd_, true);
  if (chosen.empty()) return false;
  const std::filesystem::path path = WithTableExtension(chosen);
  if (!CaseMergeGroups(*table_).empty()) {
    // The list shows what the file will hold.
    *table_ = MergeCaseDuplicates(*table_);
    FillList(-1);
    UpdateSample();
    ShowEditState();
  }
  const TableEncoding encoding = SavingEncoding(*table_, openedEncoding_, sections_);
  WriteFailure failure = WriteFailure::None;
  if (!SaveEditorTable(*table_, path, encoding, sections_, &failure)) {
    ui::ShowError(hwnd_, L"Unable to write to " + path.wstring() + L"\n\n" + WriteFailureText(failure));
    return false;
  }
  if (encoding != openedEncoding_) {
    // The table was Windows-1251; what the user typed does not fit it. From
    // now on it is the UTF-8 file it was saved as.
    openedEncoding_ = encoding;
    MessageBoxW(hwnd_,
                L"В таблице есть символы, которых нет в кодировке Windows-1251, поэтому она сохранена в "
                L"кодировке UTF-8 (Юникод).",
                kTitle, MB_OK | MB_ICONINFORMATION);
  }
  modified_ = false;
  saved_.push_back(path);
  return true;
}

bool TTableEditForm::RefuseUnwritable() {
  std::vector<PairIssue> refused;
  for (const PairIssue& issue : UnwritablePairs(*table_, sections_))
    if (RefusesSave(issue.problem)) refused.push_back(issue);
  if (refused.empty()) return true;
  std::wstring text = L"Таблица не сохранена: эти пары не прочитались бы так, как записаны в списке.\n";
  for (std::size_t i = 0; i < refused.size() && i < kListedRows; ++i) {
    const PairIssue& issue = refused[i];
    const bool set = issue.problem == PairProblem::SetBadName || issue.problem == PairProblem::SetNoLetters;
    text += set ? L"    набор \u00AB" + ui::Widen(sections_.sets[static_cast<std::size_t>(issue.row)].name) + L"\u00BB: "
                : L"    строка " + std::to_wstring(issue.row + 1) + L" " +
                      Quoted(*table_, table_->Table[issue.row].Source) + L": ";
    text += ProblemText(issue.problem);
    text += L"\n";
  }
  if (refused.size() > kListedRows) text += L"    и ещё " + std::to_wstring(refused.size() - kListedRows) + L"\n";
  text += L"\nИсправьте эти пары или удалите их и сохраните снова.";
  MessageBoxW(hwnd_, text.c_str(), kTitle, MB_OK | MB_ICONWARNING);
  return false;
}

bool TTableEditForm::ConfirmSaveAsShown() {
  const auto groups = CaseMergeGroups(*table_);
  std::vector<PairIssue> issues;
  for (const PairIssue& issue : UnwritablePairs(*table_, sections_))
    if (!RefusesSave(issue.problem)) issues.push_back(issue);
  if (groups.empty() && issues.empty()) return true;
  std::wstring text;
  if (!groups.empty()) {
    text += L"Эти пары различаются только регистром букв оригинала, и в файле из каждой группы останется одна пара "
            L"с последней транскрипцией:\n";
    for (std::size_t g = 0; g < groups.size() && g < kListedRows; ++g) {
      text += L"    строки";
      for (std::size_t k = 0; k < groups[g].size(); ++k) {
        const int row = groups[g][k];
        text += (k ? L", " : L" ") + std::to_wstring(row + 1) + L" " + Quoted(*table_, table_->Table[row].Source);
      }
      text += L"\n";
    }
    if (groups.size() > kListedRows) text += L"    и ещё " + std::to_wstring(groups.size() - kListedRows) + L"\n";
  }
  if (!issues.empty()) {
    if (!text.empty()) text += L"\n";
    text += L"Эти пары сохранятся не так, как записаны:\n";
    for (std::size_t i = 0; i < issues.size() && i < kListedRows; ++i) {
      const PairIssue& issue = issues[i];
      text += issue.row < 0 ? std::wstring(L"    параметры таблицы: ")
                            : L"    строка " + std::to_wstring(issue.row + 1) + L" " +
                                  Quoted(*table_, table_->Table[issue.row].Source) + L": ";
      text += ProblemText(issue.problem);
      text += L"\n";
    }
    if (issues.size() > kListedRows) text += L"    и ещё " + std::to_wstring(issues.size() - kListedRows) + L"\n";
  }
  text += L"\nСохранить всё равно? \u00ABНет\u00BB \u2014 вернуться к правке.";
  return MessageBoxW(hwnd_, text.c_str(), kTitle, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

bool TTableEditForm::ConfirmDiscard() {
  if (!modified_) return true;
  switch (MessageBoxW(hwnd_, L"Таблица изменена. Сохранить изменения?", kTitle,
                      MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return sSpeedButton2Click();
    case IDNO:
      return true;
    default:
      return false;
  }
}

bool TTableEditForm::ConfirmExit(bool close) {
  if (!hwnd_ || done_) return true;
  // Over whatever asked (the tray menu, an installer), so the question is seen.
  SetForegroundWindow(hwnd_);
  if (!ConfirmDiscard()) return false;
  if (close) done_ = true;
  return true;
}

void TTableEditForm::sSpeedButton4Click() {
  const TTransTable before = *table_;
  const EditorSections sectionsBefore = sections_;
  TTableParamForm::Execute(hwnd_, owner_, *table_, flags_, &sections_.sets);
  if (table_->From != before.From || table_->To != before.To || table_->Description != before.Description ||
      table_->FromIcon != before.FromIcon || table_->ToIcon != before.ToIcon || sections_ != sectionsBefore)
    modified_ = true;
  InvalidateRect(ListBox1_.hwnd(), nullptr, TRUE);  // changed flags show at once
  UpdateSample();
}

void TTableEditForm::sSpeedButton3Click() {
  if (ConfirmDiscard()) done_ = true;
}

void TTableEditForm::sSpeedButton5Click() {
  if (table_->TableCount >= kEditorPairCapacity) {
    const std::wstring text = L"Таблица заполнена: в ней может быть не больше " +
                              std::to_wstring(kEditorPairCapacity) + L" пар.";
    MessageBoxW(hwnd_, text.c_str(), kTitle, MB_OK | MB_ICONINFORMATION);
    return;
  }
  const std::wstring source = Edit1_.Text();
  const std::wstring target = Edit2_.Text();
  // Either text may need a Unicode table: it turns before either is taken.
  TakenText(*table_, source + target);
  table_->AddPair(TakenText(*table_, source), TakenText(*table_, target));
  ListBox1_.ScrollTo(ListBox1_.Add({}));
  // The boxes make the next new pair: nothing selected, nothing in them, so
  // what is typed next can no more change the pair just added or another.
  ListBox1_.Select(-1);
  SetEdits({});
  SetFocus(Edit1_.hwnd());
  Changed();
  ShowEditState();
}

void TTableEditForm::DeletePair() {
  const int s = Selected();
  if (s < 0) return;
  TTransTable& t = *table_;
  for (int i = s; i + 1 < t.TableCount; ++i) t.Table[i] = std::move(t.Table[i + 1]);
  t.Table[--t.TableCount] = {};
  ListBox1_.Delete(s);
  const int next = std::min(s, t.TableCount - 1);
  ListBox1_.Select(next);
  SetEdits(next >= 0 ? t.Table[next] : TCharTable{});
  Changed();
  ShowEditState();
}

void TTableEditForm::MovePair(int step) {
  const int s = Selected();
  const int to = s + step;
  if (s < 0 || to < 0 || to >= table_->TableCount) return;
  std::swap(table_->Table[s], table_->Table[to]);
  ListBox1_.Select(to);
  Changed();
  ShowEditState();
}

void TTableEditForm::ListBox1Click() {
  const int s = Selected();
  if (s < 0) return;
  for (const ui::Edit* edit : {&Edit1_, &Edit2_}) edit->Enable(true);
  SetEdits(table_->Table[s]);
  ShowEditState();
}

void TTableEditForm::ShowEditState() {
  const int s = Selected();
  std::wstring text;
  if (s < 0) {
    text = L"Новая пара: введите оригинал и транскрипцию и нажмите \u00AB+\u00BB.";
  } else {
    text = L"Правка пары " + std::to_wstring(s + 1) + L" из " + std::to_wstring(table_->TableCount) +
           L": изменения сразу меняют её. Esc \u2014 новая пара.";
  }
  StatusBar1_.SetPartText(text);
}

void TTableEditForm::EditChange(const ui::Edit& edit) {
  const int s = Selected();
  if (s < 0) return;
  std::string text = TakenText(*table_, edit.Text());
  std::string& field = &edit == &Edit1_ ? table_->Table[s].Source : table_->Table[s].Target;
  if (field == text) return;
  field = std::move(text);
  Changed();
}

void TTableEditForm::UpdateSample() {
  const std::wstring sample = EditSample_.Text();
  std::wstring result;
  if (!sample.empty()) {
    try {
      if (table_->IsUnicode()) {
        result = ui::Widen(PreviewLine(PreviewTable(*table_, sections_), ui::Narrow(sample)));
      } else {
        std::vector<std::wstring> standIns;
        const std::string line = ui::ToCp1251(sample, &standIns);
        result = ui::FromCp1251(PreviewLine(PreviewTable(*table_, sections_), line), standIns);
      }
    } catch (const std::bad_alloc&) {
      // A table whose pairs feed each other grows the line without end.
      result = kNotEnoughMemory;
    }
  }
  EditResult_.SetText(result);
}

void TTableEditForm::ListBox1DrawItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1) || static_cast<int>(item.itemID) >= table_->TableCount) return;
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  {
    ui::Brush brush(CreateSolidBrush(selected ? kSelectedFill : kListColour));
    ui::Pen pen(CreatePen(PS_SOLID, 1, selected ? kSelectedBorder : kListColour));
    ui::SelectIn b(dc, brush.get());
    ui::SelectIn p(dc, pen.get());
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
  }
  ui::SelectIn font(dc, listFont_.get());
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  const TCharTable& pair = table_->Table[item.itemID];
  // A "_" stands for a blank in the file: the marker says the text has one.
  // Each text keeps to its column and ends in "…" when it is longer.
  const auto drawText = [&](const std::string& text, int x, int right) {
    std::wstring wide = ShownText(*table_, text);
    if (text.find('_') != std::string::npos) {
      marker_.Draw(dc, r.left + dpi_(x + 1), r.top + dpi_(5));
      x += 20;
    }
    RECT column{r.left + dpi_(x), r.top + dpi_(3), right, r.bottom};
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &column,
              DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_LEFT | DT_TOP);
  };
  drawText(pair.Source, 30, r.left + dpi_(kTargetFlagX - 4));
  drawText(pair.Target, 278, r.right - dpi_(4));
  // Every row shows the table's two flags; a number outside the catalogue shows none.
  // The strip is loaded at the window's scale: a cell is as wide as the strip is high.
  const int cell = flags_.Height();
  const auto drawFlag = [&](int number, int x) {
    if (IsFlagNumber(number)) flags_.Draw(dc, r.left + dpi_(x), r.top + dpi_(5), cell * number, 0, cell, cell);
  };
  drawFlag(table_->FromIcon, 11);
  drawFlag(table_->ToIcon, kTargetFlagX);
}

LRESULT TTableEditForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_.get());
    case WM_MEASUREITEM: {
      // The rows of the pair list, asked for while the list is made.
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType == ODT_LISTBOX) measure->itemHeight = static_cast<UINT>(dpi_(kRowHeight));
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
      // The labels and lines without colours of their own; the sample's
      // result keeps the look of a read-only box.
      if (reinterpret_cast<HWND>(lParam) == EditResult_.hwnd()) break;
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_COMMAND:
      // The one command that is no control's: F1. The rest (the buttons'
      // keys, Enter and Esc) the dialog base hands on.
      if (lParam == 0 && LOWORD(wParam) == Id(EditorId::FormatGuide)) {
        OpenFormatGuide(hwnd_);
        return 0;
      }
      break;
    case WM_HELP:
      OpenFormatGuide(hwnd_);
      return TRUE;
    case WM_CLOSE:
      // The close box closes at once (with the question), where Esc first
      // lets a selected pair go.
      sSpeedButton3Click();
      return 0;
    default:
      break;
  }
  return Dialog::HandleMessage(message, wParam, lParam);
}

}  // namespace velmar
