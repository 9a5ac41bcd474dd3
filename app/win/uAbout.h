#pragma once
// The about window: the program's name, version and description, links to
// its web page, mail address and community page, and the credits.
#include <windows.h>

#include <optional>
#include <string>

#include "about_links.h"
#include "image.h"
#include "dialog.h"
#include "standard_controls.h"

namespace velmar {

// Control identifiers (also read by the end-to-end tests).
enum class AboutId : int {
  Image2 = 101,  // the banner
  Label1 = 102,
  Label2 = 103,  // version line
  Label3 = 104,
  Label4 = 105,
  Label5 = 106,
  Label6 = 107,
  Label7 = 108,
  Label8 = 109,  // web page link
  Label9 = 110,  // mail link
  Label10 = 111,  // community page link
  Label11 = 112,  // notice line
  Credits = 113,
  Button1 = IDOK,
};
constexpr int Id(AboutId id) { return static_cast<int>(id); }

class TAboutForm : public ui::Dialog {
 public:
  static constexpr const wchar_t* kClassName = L"TAboutForm";

  TAboutForm(HWND owner, std::string version, std::string server);
  // Shows the window modally over its owner until it is closed.
  void ShowModal();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(ui::Dpi previous) override;

 private:
  // A link: a button drawn as underlined text, so that Tab reaches it and
  // Enter or Space opens it as a click does.
  using Link = ui::PushButton;

  void FormCreate();
  void MakeFontsAndPictures();  // at the window's display scale
  void AddLabel(ui::Label& label, AboutId id, const std::string& text, int x, int y, int w, int h, DWORD style = 0);
  void AddLink(Link& link, AboutId id, const std::string& text, int y, std::string target);
  void DrawLink(const DRAWITEMSTRUCT& item) const;
  void Open(const std::string& target);
  void Close() { closed_ = true; }
  void Paint(HDC dc);
  bool IsLink(HWND control) const;

  HWND owner_;
  std::string version_;
  AboutLinks links_;
  ui::Font font_, nameFont_, linkFont_;
  ui::Brush white_;
  ui::Icon icon_;
  ui::Image banner_;
  ui::DesignLayout layout_;  // the controls' places at 96 DPI
  bool closed_ = false;
  // The controls in their tab order.
  ui::Label Image2_, Label1_, Label2_, Label3_, Label4_, Credits_, Label5_, Label6_, Label7_;
  Link Label8_, Label9_, Label10_;
  ui::Label Label11_;
  ui::PushButton Button1_;
};

}  // namespace velmar
