#include "uAbout.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

#include "accessible.h"
#include "text.h"

namespace velmar {
namespace {

constexpr int kClientWidth = 361;
constexpr int kClientHeight = 288;
constexpr int kWhiteHeight = 249;  // the white upper part; the rule and the button below
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

}  // namespace

TAboutForm::TAboutForm(HWND owner, std::string version, std::string server)
    : owner_(owner), version_(std::move(version)), links_(MakeAboutLinks(server)) {
  dpi_ = ui::ScaleForWindow(owner_);  // opens on its owner's monitor
  MakeFontsAndPictures();
  white_.Reset(CreateSolidBrush(RGB(255, 255, 255)));

  Register(kClassName, LoadIconW(ui::Instance(), MAKEINTRESOURCEW(1)), GetSysColorBrush(COLOR_BTNFACE), nullptr);
  CreateDialogWindow(kClassName, ui::Widen("О программе VelmarPro").c_str(), kStyle, kExStyle,
                     {kClientWidth, kClientHeight}, dpi_, owner_);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  FormCreate();
}

void TAboutForm::MakeFontsAndPictures() {
  banner_ = ui::Image::FromResource(L"ABOUT_BANNER", dpi_);
  // The icon of the size that fits, drawn from the biggest of the file that is not smaller.
  icon_ = ui::LoadIconOfSize(ui::Instance(), MAKEINTRESOURCEW(1), dpi_(48));
  font_ = ui::MakeFont({L"Segoe UI", -11}, dpi_);
  nameFont_ = ui::MakeFont({L"Segoe UI", -11, true}, dpi_);
  linkFont_ = ui::MakeFont({L"Segoe UI", -11, false, false, true}, dpi_);
}

void TAboutForm::DpiChanged(ui::Dpi) {
  const ui::Font font = std::move(font_), nameFont = std::move(nameFont_), linkFont = std::move(linkFont_);
  MakeFontsAndPictures();
  ui::ReplaceChildFonts(hwnd_, font.get(), font_.get());
  ui::ReplaceChildFonts(hwnd_, nameFont.get(), nameFont_.get());
  ui::ReplaceChildFonts(hwnd_, linkFont.get(), linkFont_.get());
  layout_.PlaceAll(dpi_);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TAboutForm::AddLabel(ui::Label& label, AboutId id, const std::string& text, int x, int y, int w, int h,
                          DWORD style) {
  label.Create(hwnd_, Id(id), ui::Widen(text), style);
  layout_.Place(label.hwnd(), x, y, w, h, dpi_);
  SendMessageW(label.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

void TAboutForm::AddLink(Link& link, AboutId id, const std::string& text, int y, std::string target) {
  link.onClick = [this, target = std::move(target)] { Open(target); };
  link.onDrawItem = [this](const DRAWITEMSTRUCT& item) { DrawLink(item); };
  link.Create(hwnd_, Id(id), ui::Widen(text), BS_OWNERDRAW);
  layout_.Place(link.hwnd(), 88, y, 260, 15, dpi_);
  SendMessageW(link.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
  ui::SetAccessibleName(link.hwnd(), {}, ROLE_SYSTEM_LINK);
}

void TAboutForm::DrawLink(const DRAWITEMSTRUCT& item) const {
  FillRect(item.hDC, &item.rcItem, white_.get());  // the links stand on the white upper part
  const std::wstring text = ui::GetText(item.hwndItem);
  const ui::SelectIn font(item.hDC, linkFont_.get());
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(COLOR_HIGHLIGHT));
  RECT extent = item.rcItem;
  DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &extent,
            DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  extent.right = std::min(extent.right, item.rcItem.right);
  extent.bottom = item.rcItem.bottom;
  DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &extent,
            DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &extent);
}

// The controls in their tab order, wired to what they do.
void TAboutForm::FormCreate() {
  // The banner opens the web page, as the first link does.
  Image2_.onClick = [this] { Open(links_.web); };
  Image2_.onDrawItem = [this](const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, white_.get());
    banner_.Draw(item.hDC, 0, 0);
  };
  AddLabel(Image2_, AboutId::Image2, "", 226, 2, 129, 32, SS_OWNERDRAW);
  ui::SetAccessibleName(Image2_.hwnd(), ui::Widen("Веб-страница VelmarPro"), ROLE_SYSTEM_LINK);
  AddLabel(Label1_, AboutId::Label1, "VelmarPro", 64, 8, 150, 15);
  SendMessageW(Label1_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(nameFont_.get()), FALSE);
  AddLabel(Label2_, AboutId::Label2, VersionLine(version_), 64, 24, 160, 15);
  AddLabel(Label3_, AboutId::Label3, "Разработчик: команда VelmarPro", 64, 40, 280, 15);
  AddLabel(Label4_, AboutId::Label4,
           "Программа для транслитерации текста как по стандартам (ГОСТ, BGN/PCGN и д.р.) также может "
           "использовать другие стандарты для транслитерации.",
           16, 64, 329, 41);
  // The icon sets' licences ask for their authors to be named.
  AddLabel(Credits_, AboutId::Credits,
           "Значки кнопок: набор «Silk», Mark James (famfamfam.com), лицензия CC BY 2.5. "
           "Флаги: Mark James (famfamfam.com), общественное достояние.",
           16, 112, 329, 44);
  AddLabel(Label5_, AboutId::Label5, "WEB:", 16, 168, 70, 15);
  AddLabel(Label6_, AboutId::Label6, "E-Mail:", 16, 184, 70, 15);
  AddLabel(Label7_, AboutId::Label7, "VK:", 16, 200, 70, 15);
  AddLink(Label8_, AboutId::Label8, links_.web, 168, links_.web);
  AddLink(Label9_, AboutId::Label9, links_.mail, 184, links_.mailUrl);
  AddLink(Label10_, AboutId::Label10, links_.community, 200, links_.community);
  AddLabel(Label11_, AboutId::Label11, "Свободная программа: копируйте и дарите её друзьям.", 16, 224, 337, 17);
  Button1_.onClick = [this] { Close(); };
  Button1_.Create(hwnd_, Id(AboutId::Button1), ui::Widen("ОК"), BS_DEFPUSHBUTTON);
  layout_.Place(Button1_.hwnd(), 278, 256, 75, 25, dpi_);
  SendMessageW(Button1_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  // Enter where no button takes it, Esc and the close box close the window as "ОК" does.
  onOk = [this] { Close(); };
  onCancel = [this] { Close(); };
}

void TAboutForm::ShowModal() {
  closed_ = false;
  SetFocus(Button1_.hwnd());
  RunModal(closed_);
}

// The shell opens the browser or the mail program; the window stays open.
void TAboutForm::Open(const std::string& target) {
  ShellExecuteW(hwnd_, L"open", ui::Widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool TAboutForm::IsLink(HWND control) const {
  return control && (control == Label8_.hwnd() || control == Label9_.hwnd() || control == Label10_.hwnd());
}

void TAboutForm::Paint(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  RECT white{0, 0, client.right, dpi_(kWhiteHeight)};
  FillRect(dc, &white, white_.get());
  RECT rule{0, dpi_(kWhiteHeight) - 1, client.right, dpi_(kWhiteHeight) + 1};
  DrawEdge(dc, &rule, EDGE_ETCHED, BF_TOP);
  if (icon_) DrawIconEx(dc, dpi_(8), dpi_(8), icon_.get(), dpi_(48), dpi_(48), 0, nullptr, DI_NORMAL);
}

LRESULT TAboutForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      const ui::PaintDc paint(hwnd_);
      Paint(paint.get());
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      // Labels are transparent over the white upper part.
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(white_.get());
    }
    case WM_SETCURSOR: {
      HWND over = reinterpret_cast<HWND>(wParam);
      if (IsLink(over) || over == Image2_.hwnd()) {
        SetCursor(LoadCursorW(nullptr, IsLink(over) ? IDC_HAND : IDC_HELP));
        return TRUE;
      }
      break;
    }
    default:
      break;
  }
  return Dialog::HandleMessage(message, wParam, lParam);
}

}  // namespace velmar
