#include "stat_form.h"

#include <string>

#include "accessible.h"
#include "size_format.h"
#include "text.h"
#include "tools_window.h"

namespace velmar {
namespace {

constexpr wchar_t kClassName[] = L"TStatForm";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;  // the system menu gives the close box
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;

constexpr int kMargin = 16;
constexpr int kFirstRowTop = TStatForm::kBannerHeight + 10;
constexpr int kRowPitch = 16;
constexpr int kRowHeight = 14;
constexpr int kLeaderGap = 3;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonTop = TStatForm::kClientHeight - 8 - kButtonHeight;
constexpr int kRuleTop = kButtonTop - 8;

constexpr const char* kCaptions[TStatForm::kRows] = {
    "Слов:",     "Символов (без пробелов):", "Символов (с пробелами):", "Пробелов:", "Строк:",
    "Цифры:",    "Кирилица:",                "Латиница:",               "Размер:",
};

constexpr COLORREF kBannerLeft = RGB(24, 58, 112);
constexpr COLORREF kBannerRight = RGB(78, 140, 206);
constexpr COLORREF kBannerEdge = RGB(16, 38, 74);
constexpr COLORREF kSubtitleColour = RGB(206, 224, 246);

void FillGradient(HDC dc, const RECT& rect, COLORREF left, COLORREF right) {
  TRIVERTEX vertices[2] = {
      {rect.left, rect.top, static_cast<COLOR16>(GetRValue(left) << 8), static_cast<COLOR16>(GetGValue(left) << 8),
       static_cast<COLOR16>(GetBValue(left) << 8), 0},
      {rect.right, rect.bottom, static_cast<COLOR16>(GetRValue(right) << 8),
       static_cast<COLOR16>(GetGValue(right) << 8), static_cast<COLOR16>(GetBValue(right) << 8), 0},
  };
  GRADIENT_RECT gradient{0, 1};
  GradientFill(dc, vertices, 2, &gradient, 1, GRADIENT_FILL_RECT_H);
}

}  // namespace

TStatForm::TStatForm(HWND owner) {
  dpi_ = ui::ScaleForWindow(owner);  // opens over its owner, on its monitor
  MakeFontsAndLogo();
  Register(kClassName, nullptr, GetSysColorBrush(COLOR_BTNFACE), nullptr);
  CreateDialogWindow(kClassName, ui::Widen("Статистика").c_str(), kStyle, kExStyle, {kClientWidth, kClientHeight},
                     dpi_, owner);
  CreateControls();
}

void TStatForm::MakeFontsAndLogo() {
  font_ = tools_win::MessageFont(false, 100, dpi_);
  titleFont_ = tools_win::MessageFont(true, 150, dpi_);
  // The program's icon of the size that fits, when the executable has one.
  logo_ = ui::LoadIconOfSize(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), dpi_(32));
}

void TStatForm::DpiChanged(ui::Dpi) {
  const ui::Font font = std::move(font_);
  MakeFontsAndLogo();
  ui::ReplaceChildFonts(hwnd(), font.get(), font_.get());
  LayOutControls();
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void TStatForm::LayOutControls() {
  MoveWindow(rule_.hwnd(), dpi_(8), dpi_(kRuleTop), dpi_(kClientWidth - 16), dpi_(2), TRUE);
  MoveWindow(ok_.hwnd(), dpi_(kClientWidth - 8 - kButtonWidth), dpi_(kButtonTop), dpi_(kButtonWidth), dpi_(kButtonHeight),
             TRUE);
  for (int row = 0; row < kRows; ++row) LayOutRow(row);
}

void TStatForm::CreateControls() {
  const std::wstring leader(120, L'_');
  for (int row = 0; row < kRows; ++row) {
    Row& r = rows_[row];
    r.caption.Create(hwnd(), Id(StatId::Caption) + row, ui::Widen(kCaptions[row]), SS_LEFTNOWORDWRAP);
    r.leader.Create(hwnd(), Id(StatId::Leader) + row, leader, SS_LEFTNOWORDWRAP);
    r.value.Create(hwnd(), Id(StatId::Value) + row, L"0", SS_RIGHT);
    r.caption.SetTextColour(GetSysColor(COLOR_BTNTEXT));
    r.leader.SetTextColour(GetSysColor(COLOR_GRAYTEXT));  // the underscores stay in the background
    r.value.SetTextColour(GetSysColor(COLOR_BTNTEXT));
    ui::MarkSeparator(r.leader.hwnd());  // a screen reader skips the underscores, not reads them out
  }
  rule_.Create(hwnd(), Id(StatId::Rule), L"", SS_ETCHEDHORZ);
  ui::MarkSeparator(rule_.hwnd());
  ok_.onClick = [this] { Close(); };
  ok_.Create(hwnd(), Id(StatId::OK), L"OK", BS_DEFPUSHBUTTON);
  // "OK", Enter, Escape and the close box close the window; it is hidden, not destroyed.
  onOk = [this] { Close(); };
  onCancel = [this] { Close(); };
  for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  }
  LayOutControls();
}

int TStatForm::TextWidth(HWND control) const {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  const ui::WindowDc dc(control);
  const ui::SelectIn font(dc.get(), font_.get());
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), text.c_str(), length, &size);
  return size.cx + 1;  // the extent exactly would make the control wrap or clip the last character
}

// The leader fills exactly the gap between the caption and the value, so its
// underscores end where the value begins whatever the value's width.
void TStatForm::LayOutRow(int row) {
  const Row& r = rows_[row];
  const ui::Dpi S = dpi_;
  const int top = S(kFirstRowTop + row * kRowPitch);
  const int right = S(kClientWidth - kMargin);
  const int captionWidth = TextWidth(r.caption.hwnd());
  const int valueWidth = TextWidth(r.value.hwnd());
  const int leaderLeft = S(kMargin) + captionWidth + S(kLeaderGap);
  const int leaderRight = right - valueWidth - S(kLeaderGap);
  MoveWindow(r.caption.hwnd(), S(kMargin), top, captionWidth, S(kRowHeight), TRUE);
  MoveWindow(r.leader.hwnd(), leaderLeft, top, leaderRight > leaderLeft ? leaderRight - leaderLeft : 0, S(kRowHeight),
             TRUE);
  MoveWindow(r.value.hwnd(), right - valueWidth, top, valueWidth, S(kRowHeight), TRUE);
}

void TStatForm::SetValue(int row, std::wstring_view text) {
  rows_[row].value.SetText(text);
  LayOutRow(row);
}

void TStatForm::SetValues(const TextStatistics& statistics, std::string_view decimal) {
  const std::size_t numbers[] = {statistics.words,  statistics.chars_without_spaces, statistics.chars_with_spaces,
                                 statistics.spaces, statistics.lines,                statistics.digits,
                                 statistics.cyrillic, statistics.latin};
  for (int row = 0; row < kRows - 1; ++row) SetValue(row, std::to_wstring(numbers[row]));
  SetValue(kRows - 1, ui::Widen(FormatSize(static_cast<double>(statistics.size), decimal)));
}

void TStatForm::ShowModal() {
  if (!hwnd()) return;
  ui::CentreOnOwner(hwnd(), GetWindow(hwnd(), GW_OWNER));
  closed_ = false;
  RunModal(closed_, nullptr, [this] { SetFocus(ok_.hwnd()); });
}

void TStatForm::PaintBanner(HDC target) const {
  const ui::Dpi S = dpi_;
  const int width = S(kClientWidth), height = S(kBannerHeight);
  // Drawn off screen and copied in one go: no flicker while the window moves.
  const ui::MemoryDc memory(CreateCompatibleDC(target));
  const ui::Bitmap bitmap(CreateCompatibleBitmap(target, width, height));
  if (!memory || !bitmap) return;
  HDC dc = memory.get();
  const ui::SelectIn selectBitmap(dc, bitmap.get());
  FillGradient(dc, {0, 0, width, height - 1}, kBannerLeft, kBannerRight);
  const ui::Brush edge(CreateSolidBrush(kBannerEdge));
  RECT edgeRect{0, height - 1, width, height};
  FillRect(dc, &edgeRect, edge.get());

  int textLeft = S(kMargin);
  if (logo_) {
    DrawIconEx(dc, S(12), (height - S(32)) / 2, logo_.get(), S(32), S(32), 0, nullptr, DI_NORMAL);
    textLeft = S(12 + 32 + 10);
  }
  SetBkMode(dc, TRANSPARENT);
  const ui::SelectIn selectFont(dc, titleFont_.get());
  SetTextColor(dc, RGB(255, 255, 255));
  RECT title{textLeft, S(5), width - S(8), S(27)};
  const std::wstring titleText = ui::Widen("Статистика");
  DrawTextW(dc, titleText.c_str(), -1, &title, DT_LEFT | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, font_.get());
  SetTextColor(dc, kSubtitleColour);
  RECT subtitle{textLeft, S(28), width - S(8), height - S(4)};
  const std::wstring subtitleText = ui::Widen("Свойства текста");
  DrawTextW(dc, subtitleText.c_str(), -1, &subtitle, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);

  BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

LRESULT TStatForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      const ui::PaintDc paint(hwnd());
      PaintBanner(paint.get());
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      // The rule; the rows' labels choose their colours themselves.
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DESTROY:
      closed_ = true;
      break;
    default:
      break;
  }
  return Dialog::HandleMessage(message, wParam, lParam);
}

}  // namespace velmar
