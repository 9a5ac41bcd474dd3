#pragma once
// The about window: the program's name, version and description, links to
// its web page, mail address and community page, and the credits.
#include <windows.h>

#include <string>

#include "about_links.h"
#include "image.h"
#include "dialog.h"

namespace velmar {

// Control identifiers (also read by the end-to-end tests).
enum class AboutId : int {
  Image2 = 101,  // the banner
  Label1,
  Label2,  // version line
  Label3,
  Label4,
  Label5,
  Label6,
  Label7,
  Label8,  // web page link
  Label9,  // mail link
  Label10,  // community page link
  Label11,  // notice line
  Credits,
  Button1 = IDOK,
};

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
  void FormCreate();
  void MakeFontsAndPictures();  // at the window's display scale
  HWND AddLabel(AboutId id, const std::string& text, int x, int y, int w, int h, DWORD style = 0);
  // A link: a button drawn as underlined text, so that Tab reaches it and
  // Enter or Space opens it as a click does.
  HWND AddLink(AboutId id, const std::string& text, int y);
  void DrawLink(const DRAWITEMSTRUCT& item) const;
  void Label8Click();
  void Label9Click();
  void Label10Click();
  void Open(const std::string& target);
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
};

}  // namespace velmar
