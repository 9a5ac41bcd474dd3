// The main window's controls: their creation in tab order, their places as
// the window and its splitters move, and the controls it draws itself.
#include <algorithm>
#include <functional>
#include <string>

#include "run_text.h"
#include "text.h"
#include "uMain.h"

namespace velmar {
namespace {

constexpr COLORREF kLightBlue = RGB(242, 250, 255);  // $FFFAF2
constexpr int kSplitterMinimum = 100;
// The upper toolbar: five buttons after the logo, and a margin to the right.
constexpr int kToolbarButtonWidth = 70;
constexpr int kToolbarLeft = 74;
constexpr int kToolbarRight = kToolbarLeft + 5 * kToolbarButtonWidth + 4;

int Id(ControlId id) { return static_cast<int>(id); }

// Where a row of the table list writes its caption and description, and
// what it keeps free at its right edge.
constexpr int kCaptionLeft = 31;
constexpr int kDescriptionLeft = 36;
constexpr int kRowTextMargin = 4;

}  // namespace

void TVelmarPro_Api::AddButton(ui::FlatButton& button, ControlId id, std::wstring_view text,
                               ui::FlatButton::Look look, const wchar_t* icon) {
  const ui::IconPair& pair = icons_.at(icon);
  button.Create(hwnd_, Id(id), text, look, &pair.normal, &pair.hot);
}

void TVelmarPro_Api::AddDrawnLabel(ui::Label& label, ControlId id, DWORD style,
                                   std::function<void(const DRAWITEMSTRUCT&)> draw) {
  label.onDrawItem = std::move(draw);
  label.Create(hwnd_, Id(id), L"", SS_OWNERDRAW | style);
}

// The controls in their tab order: the left column, the upper part, the lower part.
void TVelmarPro_Api::CreateControls() {
  CreateLeftColumn();
  CreateUpperPart();
  CreateLowerPart();
  btn_Velmar_.onClick = [this] { Button1Click(); };
  sSpeedButton2_.onClick = [this] { sSpeedButton2Click(); };
  sSpeedButton9_.onClick = [this] { SendMessageW(hwnd_, WM_CLOSE, 0, 0); };
  PopupMenu2_.Create();
  DescribeControls();
}

void TVelmarPro_Api::CreateLeftColumn() {
  using Look = ui::FlatButton::Look;
  AddButton(sSpeedButton1_, ControlId::sSpeedButton1, L"Загрузить модули", Look::IconLeft, L"MODULES");
  AddButton(sSpeedButton3_, ControlId::sSpeedButton3, L"Редактор таблиц", Look::IconOnly, L"EDITOR");
  ListBox1_.onSelect = [this] { ListBox1Click(); };
  ListBox1_.onDoubleClick = [this] { ListBox1DblClick(); };
  ListBox1_.onDrawItem = [this](const DRAWITEMSTRUCT& item) { ListBox1DrawItem(item); };
  ListBox1_.itemTip = [this](int row) { return ListBox1RowTip(row); };
  ListBox1_.Create(hwnd_, Id(ControlId::ListBox1),
                   WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT);
  SendMessageW(ListBox1_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
  ListBox1_.SetBackground(kLightBlue);
  vSplitter_.Create(hwnd_, Id(ControlId::VerticalSplitter), ui::Splitter::Orientation::Vertical);
  // The splitters stop where the layout stops them: dragged back, they move at once.
  vSplitter_.onDrag = [this](int x) {
    leftWidth_ = x;
    Layout();
    leftWidth_ = LeftWidth();
  };
}

// The logo, the title, the toolbar, the table information line and the source box.
void TVelmarPro_Api::CreateUpperPart() {
  using Look = ui::FlatButton::Look;
  AddDrawnLabel(Image1_, ControlId::Image1, 0, [this](const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    logo_.Draw(item.hDC, item.rcItem.left, item.rcItem.top);
  });
  AddDrawnLabel(Label1_, ControlId::Label1, 0, [this](const DRAWITEMSTRUCT& item) { DrawTitle(item); });
  Label1_.SetText(L"VelmarPro");
  SendMessageW(Label1_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
  Bevel1_.Create(hwnd_, Id(ControlId::Bevel1), L"", SS_ETCHEDHORZ);
  AddButton(btn_Velmar_, ControlId::btn_Velmar, L"Транслит", Look::IconAbove, L"TRANSLIT");
  AddButton(sSpeedButton2_, ControlId::sSpeedButton2, L"Режим", Look::IconAbove, L"MODE");
  sSpeedButton2_.dropDown = true;
  AddButton(sSpeedButton4_, ControlId::sSpeedButton4, L"Справка", Look::IconAbove, L"HELP");
  AddButton(btn_About_, ControlId::btn_About, L"О програ...", Look::IconAbove, L"ABOUT");
  AddButton(sSpeedButton9_, ControlId::sSpeedButton9, L"Выход", Look::IconAbove, L"EXIT");
  Bevel3_.Create(hwnd_, Id(ControlId::Bevel3), L"", SS_ETCHEDHORZ);
  // The information line: three labels side by side that draw themselves, so
  // each paints exactly the text it was measured for and nothing is left of
  // a text that stood there before. The table's languages in the highlight
  // colour, the ">" between them plain.
  AddDrawnLabel(Label3_, ControlId::Label3, 0, [this](const DRAWITEMSTRUCT& item) { DrawInfoText(item, COLOR_HIGHLIGHT); });
  AddDrawnLabel(Label4_, ControlId::Label4, 0, [this](const DRAWITEMSTRUCT& item) { DrawInfoText(item, COLOR_WINDOWTEXT); });
  Label4_.SetText(L">");
  AddDrawnLabel(Label5_, ControlId::Label5, 0, [this](const DRAWITEMSTRUCT& item) { DrawInfoText(item, COLOR_HIGHLIGHT); });
  boxes_.Create(TextBoxes::Box::Source, hwnd_, memoFont_.get());
  hSplitter_.Create(hwnd_, Id(ControlId::HorizontalSplitter), ui::Splitter::Orientation::Horizontal);
  hSplitter_.onDrag = [this](int y) {
    upperHeight_ = y;
    Layout();
    upperHeight_ = UpperHeight();
  };
}

// The editing toolbar, the result box, the status label and the progress bar.
void TVelmarPro_Api::CreateLowerPart() {
  using Look = ui::FlatButton::Look;
  AddButton(btn_New_, ControlId::btn_New, L"Новый", Look::IconOnly, L"NEW");
  AddButton(btn_Open_, ControlId::btn_Open, L"Открыть", Look::IconOnly, L"OPEN");
  AddButton(btn_Save_, ControlId::btn_Save, L"Сохранить", Look::IconOnly, L"SAVE");
  btn_Save_.dropDown = true;
  SaveSeparator_.Create(hwnd_, Id(ControlId::SaveSeparator), L"", SS_ETCHEDVERT);
  AddButton(btn_Cut_, ControlId::btn_Cut, L"Вырезать", Look::IconOnly, L"CUT");
  AddButton(btn_Copy_, ControlId::btn_Copy, L"Копировать", Look::IconOnly, L"COPY");
  AddButton(btn_Paste_, ControlId::btn_Paste, L"Вставить", Look::IconOnly, L"PASTE");
  AddButton(btn_Undo_, ControlId::btn_Undo, L"Отменить", Look::IconOnly, L"UNDO");
  Image4_.Create(hwnd_, Id(ControlId::Image4), L"", SS_ETCHEDVERT);
  AddButton(CheckBox1_, ControlId::CheckBox1, L"Автоматический транслит", Look::IconOnly, L"AUTO");
  CheckBox1_.checkable = true;
  CheckBox1_.checked = true;
  boxes_.Create(TextBoxes::Box::Result, hwnd_, memoFont_.get());
  Label2_.onClick = [this] { Label2Click(); };
  Label2_.onMouseMove = [this] { Label2MouseMove(); };
  Label2_.onMouseLeave = [this] { Label2MouseLeave(); };
  Label2_.Create(hwnd_, Id(ControlId::Label2), dpi_);
  AddDrawnLabel(Image2_, ControlId::Image2, WS_CLIPSIBLINGS, [this](const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    progressFrame_.Draw(item.hDC, item.rcItem.left, item.rcItem.top);
  });
  AddDrawnLabel(Image3_, ControlId::Image3, WS_CLIPSIBLINGS, [this](const DRAWITEMSTRUCT& item) {
    const RECT& r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    progressFrame_.Draw(item.hDC, r.left, r.top, 0, 0, r.right - r.left, progressFrame_.Height());
    progressFill_.Draw(item.hDC, r.left, r.top, 0, 0, r.right - r.left, progressFill_.Height());
  });
  SetWindowPos(Image3_.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Image2_.Show(false);
  Image3_.Show(false);
}

// The width of the left column: at least 100 pixels, and at most what leaves
// the whole upper toolbar on the screen ("Выход" last), so every command stays
// reachable however narrow the window. The smallest window (WM_GETMINMAXINFO)
// has room for both. The user's choice is kept for when the window grows again.
int TVelmarPro_Api::LeftWidth() const {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  return std::max(dpi_(kSplitterMinimum), std::min(leftWidth_, static_cast<int>(rc.right) - dpi_(2 + kToolbarRight)));
}

// The height of the upper part: at least 100 pixels on either side of the splitter.
int TVelmarPro_Api::UpperHeight() const {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  return std::max(dpi_(kSplitterMinimum), std::min(upperHeight_, static_cast<int>(rc.bottom) - dpi_(3 + kSplitterMinimum)));
}

void TVelmarPro_Api::Layout() {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const int W = rc.right, H = rc.bottom;
  // Minimised, the client area is empty: laid out then, both splitters would
  // be pushed to their minimum and stay there after the window comes back.
  if (IsIconic(hwnd_) || W <= 0 || H <= 0) return;
  const int leftWidth = LeftWidth(), upperHeight = UpperHeight();
  const auto move = [](HWND control, int x, int y, int w, int h) {
    SetWindowPos(control, nullptr, x, y, std::max(w, 0), std::max(h, 0), SWP_NOZORDER | SWP_NOACTIVATE);
  };

  // Left column. Every length is one at 96 DPI, scaled by `S`.
  const ui::Dpi S = dpi_;
  sSpeedButton1_.Move(S(2), S(2), leftWidth - S(34), S(26));
  sSpeedButton3_.Move(leftWidth - S(30), S(2), S(28), S(26));
  ListBox1_.Move(S(2), S(30), leftWidth - S(4), H - S(32));
  move(vSplitter_.hwnd(), leftWidth, 0, S(2), H);

  // Upper part.
  const int x = leftWidth + S(2), w = W - x;
  Image1_.Move(x + S(4), S(4), S(64), S(64));
  Label1_.Move(x + S(74), S(4), w - S(78), S(22));
  Bevel1_.Move(x + S(74), S(27), w - S(78), S(2));
  int bx = x + S(kToolbarLeft);
  for (ui::FlatButton* b : {&btn_Velmar_, &sSpeedButton2_, &sSpeedButton4_, &btn_About_, &sSpeedButton9_}) {
    b->Move(bx, S(30), S(kToolbarButtonWidth), S(38));
    bx += S(kToolbarButtonWidth);
  }
  Bevel3_.Move(x + S(4), S(71), w - S(8), S(2));
  LayoutInfoLine(x + S(6), S(76), W - S(4));
  const int memo1Top = S(94);
  boxes_.Source().Move(x + S(2), memo1Top, w - S(4), upperHeight - memo1Top);
  move(hSplitter_.hwnd(), x, upperHeight, w, S(3));

  // Lower part.
  const int top = upperHeight + S(3);
  bx = x + S(2);
  for (ui::FlatButton* b : {&btn_New_, &btn_Open_, &btn_Save_}) {
    const int bw = S(b->dropDown ? 34 : 24);
    b->Move(bx, top + S(2), bw, S(24));
    bx += bw;
  }
  SaveSeparator_.Move(bx + S(3), top + S(4), S(2), S(20));
  bx += S(8);
  for (ui::FlatButton* b : {&btn_Cut_, &btn_Copy_, &btn_Paste_, &btn_Undo_}) {
    b->Move(bx, top + S(2), S(24), S(24));
    bx += S(24);
  }
  CheckBox1_.Move(W - S(28), top + S(2), S(24), S(24));
  Image4_.Move(W - S(34), top + S(4), S(2), S(20));
  const int memo2Top = top + S(28);
  boxes_.Result().Move(x + S(2), memo2Top, w - S(4), H - memo2Top - S(20));
  Label2_.Move(x + S(4), H - S(17), w - S(80), S(15));
  Image2_.Move(W - S(66), H - S(14), S(60), S(10));
  Image3_.Move(W - S(66), H - S(14), S(progressWidth_), S(10));
  // Every control painted anew, and the background between them: what a
  // control leaves behind, or brings along, is not drawn again by itself.
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The three labels side by side up to `right`; a text too long for what is
// left ends with an ellipsis (DrawInfoText).
void TVelmarPro_Api::LayoutInfoLine(int x, int y, int right) {
  const ui::WindowDc windowDc(hwnd_);
  HDC dc = windowDc.get();
  {
    ui::SelectIn font(dc, font_.get());
    for (const ui::Label* label : {&Label3_, &Label4_, &Label5_}) {
      const std::wstring text = label->Text();
      SIZE size{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      // Moved without its old picture: the whole label is painted anew.
      const int width = std::max(0, std::min<int>(size.cx + 1, right - x));
      SetWindowPos(label->hwnd(), nullptr, x, y, width, dpi_(15), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
      InvalidateRect(label->hwnd(), nullptr, TRUE);
      x += size.cx + dpi_(5);
    }
  }
}

// A row's two texts, and the height of the first, which the second stands under.
TVelmarPro_Api::RowTexts TVelmarPro_Api::ListBox1RowTexts(int row) const {
  RowTexts texts;
  texts.caption = ListBox1_.ItemText(row);
  if (row >= 0 && static_cast<std::size_t>(row) < store_.Store.size()) {
    const TTransTable& table = store_.Store[static_cast<std::size_t>(row)];
    texts.description = TableText(table, table.Description);
  }
  const ui::WindowDc windowDc(ListBox1_.hwnd());
  const auto width = [&](HFONT font, const std::wstring& text) {
    ui::SelectIn selected(windowDc.get(), font);
    SIZE size{};
    GetTextExtentPoint32W(windowDc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
  };
  const SIZE caption = width(listBold_.get(), texts.caption);
  texts.captionHeight = width(listItalic_.get(), texts.caption).cy;
  RECT client;
  GetClientRect(ListBox1_.hwnd(), &client);
  texts.cut = dpi_(kCaptionLeft) + caption.cx > client.right - dpi_(kRowTextMargin) ||
              dpi_(kDescriptionLeft) + width(listItalic_.get(), texts.description).cx >
                  client.right - dpi_(kRowTextMargin);
  return texts;
}

// The whole caption and description of a row that shows them cut short.
std::wstring TVelmarPro_Api::ListBox1RowTip(int row) const {
  const RowTexts texts = ListBox1RowTexts(row);
  if (!texts.cut) return {};
  return texts.description.empty() ? texts.caption : texts.caption + L"\n" + texts.description;
}

void TVelmarPro_Api::ListBox1DrawItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  ui::SelectIn font(dc, listFont_.get());
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));

  const COLORREF fill = selected ? RGB(58, 162, 239) : RGB(243, 249, 252);
  const COLORREF border = selected ? RGB(17, 112, 168) : RGB(243, 249, 252);
  {
    ui::Brush brush(CreateSolidBrush(fill));
    ui::Pen pen(CreatePen(PS_SOLID, 1, border));
    ui::SelectIn b(dc, brush.get());
    ui::SelectIn p(dc, pen.get());
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
  }
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, fill);

  // Texts too long for the row end with an ellipsis; the tip shows them whole.
  const RowTexts texts = ListBox1RowTexts(static_cast<int>(item.itemID));
  const auto draw = [&](HFONT font, const std::wstring& text, int left, int top) {
    ui::SelectIn inFont(dc, font);
    RECT box{r.left + dpi_(left), r.top + top, r.right - dpi_(kRowTextMargin), r.bottom};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  };
  draw(listBold_.get(), texts.caption, kCaptionLeft, dpi_(1));
  const TTransTable* table =
      item.itemID < store_.Store.size() ? &store_.Store[item.itemID] : nullptr;
  if (table) draw(listItalic_.get(), texts.description, kDescriptionLeft, dpi_(1) + texts.captionHeight);
  if (table) {
    // A number outside the catalogue draws no flag. The strip is loaded at
    // the window's scale: a cell is as wide as the strip is high.
    const int cell = flags_.Height();
    const auto drawFlag = [&](int number, int x, int y) {
      if (number >= 0 && number < kFlagCount) flags_.Draw(dc, x, y, cell * number, 0, cell, cell);
    };
    drawFlag(table->FromIcon, r.left + dpi_(2), r.top + dpi_(1));
    drawFlag(table->ToIcon, r.left + dpi_(12), r.top + dpi_(13));
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
}

// Embossed: the highlight text, and over it the dark shadow one pixel up and left.
void TVelmarPro_Api::DrawTitle(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  const std::wstring text = ui::GetText(item.hwndItem);
  ui::SelectIn font(dc, titleFont_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  TextOutW(dc, r.left + dpi_(1), r.top + dpi_(1), text.c_str(), static_cast<int>(text.size()));
  SetTextColor(dc, GetSysColor(COLOR_3DDKSHADOW));
  TextOutW(dc, r.left, r.top, text.c_str(), static_cast<int>(text.size()));
}

void TVelmarPro_Api::DrawInfoText(const DRAWITEMSTRUCT& item, int colour) {
  HDC dc = item.hDC;
  RECT box = item.rcItem;
  FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
  const std::wstring text = ui::GetText(item.hwndItem);
  ui::SelectIn font(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(colour));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

}  // namespace velmar
