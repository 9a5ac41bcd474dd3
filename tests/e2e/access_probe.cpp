// Reads one of a running VelmarPro's windows as a screen reader does: through
// the accessibility interfaces (oleacc), not through the windows' messages.
// Prints every control of the window with its role, state, description and
// name, and the rows of each list; then "nameless:" for every visible control
// a screen reader would announce without a name (separators have none).
//   access_probe WINDOW [close]
// WINDOW: main, editor, params, modules, update, about, statistics; "close"
// closes it after reading (WM_CLOSE, as its close box).
// Standard output is UTF-8.
#include <windows.h>
#include <oleacc.h>

#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "control_ids.h"
#include "e2e_win.h"
#include "editor_ids.h"

namespace {

using e2e::Fail;
using e2e::Utf8;

std::string RoleName(LONG role) {
  static const std::map<LONG, std::string> names = {
      {ROLE_SYSTEM_CLIENT, "client"},          {ROLE_SYSTEM_WINDOW, "window"},
      {ROLE_SYSTEM_PUSHBUTTON, "pushbutton"},  {ROLE_SYSTEM_CHECKBUTTON, "checkbutton"},
      {ROLE_SYSTEM_BUTTONMENU, "buttonmenu"},  {ROLE_SYSTEM_LIST, "list"},
      {ROLE_SYSTEM_LISTITEM, "listitem"},      {ROLE_SYSTEM_TEXT, "text"},
      {ROLE_SYSTEM_STATICTEXT, "statictext"},  {ROLE_SYSTEM_GRAPHIC, "graphic"},
      {ROLE_SYSTEM_SEPARATOR, "separator"},    {ROLE_SYSTEM_PROGRESSBAR, "progressbar"},
      {ROLE_SYSTEM_LINK, "link"},              {ROLE_SYSTEM_STATUSBAR, "statusbar"},
      {ROLE_SYSTEM_TABLE, "table"},            {ROLE_SYSTEM_PANE, "pane"}};
  const auto found = names.find(role);
  return found != names.end() ? found->second : std::to_string(role);
}

VARIANT Child(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

struct Description {
  HRESULT nameResult = E_FAIL;
  std::string name;
  std::string description;
  std::string role = "?";
  LONG roleNumber = 0;
  LONG state = 0;
};

Description Describe(IAccessible* object, LONG child) {
  Description d;
  BSTR name = nullptr;
  d.nameResult = object->get_accName(Child(child), &name);
  if (name) {
    d.name = Utf8(std::wstring(name, SysStringLen(name)));
    SysFreeString(name);
  }
  BSTR description = nullptr;
  if (SUCCEEDED(object->get_accDescription(Child(child), &description)) && description) {
    d.description = Utf8(std::wstring(description, SysStringLen(description)));
    SysFreeString(description);
  }
  VARIANT role;
  VariantInit(&role);
  if (SUCCEEDED(object->get_accRole(Child(child), &role)) && role.vt == VT_I4) {
    d.roleNumber = role.lVal;
    d.role = RoleName(role.lVal);
  }
  VariantClear(&role);
  VARIANT state;
  VariantInit(&state);
  if (SUCCEEDED(object->get_accState(Child(child), &state)) && state.vt == VT_I4) d.state = state.lVal;
  VariantClear(&state);
  return d;
}

std::string Line(const Description& d) {
  char state[16];
  wsprintfA(state, "%lx", static_cast<unsigned long>(d.state));
  return "role=" + d.role + " state=" + state + (d.description.empty() ? "" : " description=" + d.description) +
         " name=" + d.name;
}

// The controls of `window` as its accessible object lists them: the children
// of its client object, each mapped back to its window.
std::vector<HWND> Children(HWND window) {
  IAccessible* client = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&client))) ||
      !client)
    Fail("no accessible object for the window");
  LONG count = 0;
  if (FAILED(client->get_accChildCount(&count))) Fail("the window does not count its children");
  std::vector<VARIANT> children(static_cast<std::size_t>(count));
  LONG got = 0;
  if (count > 0 && FAILED(AccessibleChildren(client, 0, count, children.data(), &got)))
    Fail("AccessibleChildren failed");
  std::vector<HWND> controls;
  for (LONG i = 0; i < got; ++i) {
    VARIANT& v = children[static_cast<std::size_t>(i)];
    if (v.vt == VT_DISPATCH && v.pdispVal) {
      IAccessible* object = nullptr;
      HWND hwnd = nullptr;
      if (SUCCEEDED(v.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&object))) && object) {
        if (SUCCEEDED(WindowFromAccessibleObject(object, &hwnd)) && hwnd) controls.push_back(hwnd);
        object->Release();
      }
    }
    VariantClear(&v);
  }
  client->Release();
  return controls;
}

HWND Window(const std::string& which) {
  static const std::map<std::string, const wchar_t*> classes = {
      {"main", velmar::kMainWindowClass}, {"editor", velmar::kTableEditClass},
      {"params", velmar::kTableParamClass}, {"modules", L"TDwnlModulesForm"},
      {"update", L"TUpdateForm"},          {"about", L"TAboutForm"},
      {"statistics", L"TStatForm"}};
  const auto found = classes.find(which);
  if (found == classes.end()) Fail("unknown window " + which);
  HWND window = nullptr;
  if (!e2e::WaitFor(10000, [&] { return (window = e2e::Visible(found->second)) != nullptr; }))
    Fail("no window " + which);
  return window;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::string> args = e2e::Arguments(argc, argv);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) Fail("no COM");
  const HWND window = Window(e2e::Arg(args, 0, "main"));
  std::vector<std::string> nameless;
  for (HWND control : Children(window)) {
    wchar_t className[64] = L"";
    GetClassNameW(control, className, 64);
    const bool visible = (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
    const std::string label = "control " + std::to_string(GetDlgCtrlID(control)) + " " + Utf8(className);
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object))) ||
        !object) {
      std::cout << label << " no accessible object\n";
      nameless.push_back(label);
      continue;
    }
    const Description d = Describe(object, CHILDID_SELF);
    std::cout << label << " visible=" << visible << " " << Line(d) << "\n";
    if (visible && d.name.empty() && d.roleNumber != ROLE_SYSTEM_SEPARATOR) nameless.push_back(label);
    if (d.roleNumber == ROLE_SYSTEM_LIST) {
      LONG rows = 0;
      object->get_accChildCount(&rows);
      for (LONG row = 1; row <= rows; ++row) {
        const Description r = Describe(object, row);
        std::cout << "  row " << row - 1 << " " << Line(r) << "\n";
        if (r.name.empty()) nameless.push_back(label + " row " + std::to_string(row - 1));
      }
    }
    object->Release();
  }
  for (const std::string& n : nameless) std::cout << "nameless: " << n << "\n";
  if (e2e::Arg(args, 1) == "close") PostMessageW(window, WM_CLOSE, 0, 0);
  CoUninitialize();
  return 0;
}
