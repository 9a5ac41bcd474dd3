// What controls tell screen readers, read in process through the same
// accessibility interfaces a screen reader uses (the object a control hands
// out for WM_GETOBJECT), under Wine.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "accessible.h"
#include "window.h"

namespace {

class Com {
 public:
  Com() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~Com() { CoUninitialize(); }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
};

// A hidden parent that counts the list's selection changes.
class Parent : public ui::Window {
 public:
  Parent() {
    Register(L"VelmarAccessTestParent", nullptr, GetSysColorBrush(COLOR_BTNFACE), nullptr);
    CreateWindowOf(L"VelmarAccessTestParent", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 0, 300, 300, nullptr, nullptr);
  }
  int selectionChanges = 0;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND && HIWORD(wParam) == LBN_SELCHANGE) ++selectionChanges;
    return Window::HandleMessage(message, wParam, lParam);
  }
};

// The control's accessible object, released at the end of the test.
struct Object {
  explicit Object(HWND control) {
    AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&p));
  }
  ~Object() {
    if (p) p->Release();
  }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  IAccessible* operator->() const { return p; }
  IAccessible* p = nullptr;
};

VARIANT Child(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::wstring Name(const Object& object, LONG child = CHILDID_SELF) {
  BSTR name = nullptr;
  if (FAILED(object->get_accName(Child(child), &name)) || !name) return L"<none>";
  std::wstring text(name, SysStringLen(name));
  SysFreeString(name);
  return text;
}

LONG Role(const Object& object, LONG child = CHILDID_SELF) {
  VARIANT role;
  VariantInit(&role);
  if (FAILED(object->get_accRole(Child(child), &role)) || role.vt != VT_I4) return -1;
  return role.lVal;
}

LONG State(const Object& object, LONG child = CHILDID_SELF) {
  VARIANT state;
  VariantInit(&state);
  if (FAILED(object->get_accState(Child(child), &state)) || state.vt != VT_I4) return -1;
  return state.lVal;
}

HWND AddListBox(const Parent& parent, const std::vector<std::wstring>& strings) {
  HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | LBS_NOTIFY | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED, 0, 0,
                              200, 200, parent.hwnd(), reinterpret_cast<HMENU>(7), GetModuleHandleW(nullptr), nullptr);
  for (const std::wstring& s : strings) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
  return list;
}

TEST(Accessibility, ListRowsReadAsTheirOwnTextsNotTheStringsTheListKeeps) {
  Com com;
  Parent parent;
  HWND list = AddListBox(parent, {L"A - B", L"C - D", L"E - F"});
  const std::vector<std::wstring> rows = {L"A → B, first", L"C → D", L"E → F, third"};
  ui::Accessibility a;
  a.name = L"Tables";
  a.rowName = [&](int row) { return rows.at(static_cast<std::size_t>(row)); };
  ui::SetAccessibility(list, a);
  SendMessageW(list, LB_SETCURSEL, 1, 0);

  const Object object(list);
  ASSERT_NE(object.p, nullptr);
  EXPECT_EQ(Name(object), L"Tables");
  EXPECT_EQ(Role(object), ROLE_SYSTEM_LIST);
  LONG count = 0;
  ASSERT_EQ(object->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 3);
  // What a screen reader walking the list gets: three simple elements.
  VARIANT children[4];
  LONG got = 0;
  ASSERT_TRUE(SUCCEEDED(AccessibleChildren(object.p, 0, 3, children, &got)));
  ASSERT_EQ(got, 3);
  for (LONG i = 0; i < 3; ++i) {
    ASSERT_EQ(children[i].vt, VT_I4) << i;
    EXPECT_EQ(children[i].lVal, i + 1);
    EXPECT_EQ(Name(object, children[i].lVal), rows[static_cast<std::size_t>(i)]);
    EXPECT_EQ(Role(object, children[i].lVal), ROLE_SYSTEM_LISTITEM);
  }
  EXPECT_NE(State(object, 2) & STATE_SYSTEM_SELECTED, 0);
  EXPECT_EQ(State(object, 1) & STATE_SYSTEM_SELECTED, 0);
  VARIANT selection;
  ASSERT_EQ(object->get_accSelection(&selection), S_OK);
  EXPECT_EQ(selection.lVal, 2);
  // No row 4: the ids past the rows are no rows.
  EXPECT_EQ(Name(object, 4), L"<none>");

  // Selecting a row through the interface is a user's choice: the owner hears of it.
  ASSERT_EQ(object->accSelect(SELFLAG_TAKESELECTION, Child(3)), S_OK);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(parent.selectionChanges, 1);
  VARIANT next;
  ASSERT_EQ(object->accNavigate(NAVDIR_NEXT, Child(1), &next), S_OK);
  EXPECT_EQ(next.lVal, 2);
  EXPECT_EQ(object->accNavigate(NAVDIR_NEXT, Child(3), &next), S_FALSE);
}

TEST(Accessibility, OwnNameRoleAndStateOverTheStandardOnes) {
  Com com;
  Parent parent;
  HWND button = CreateWindowExW(0, L"BUTTON", L"Auto", WS_CHILD | BS_OWNERDRAW, 0, 0, 20, 20, parent.hwnd(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  bool on = true;
  ui::Accessibility a;
  a.role = ROLE_SYSTEM_CHECKBUTTON;
  a.description = L"Convert a second after typing";
  a.extraState = [&] { return on ? STATE_SYSTEM_CHECKED : 0; };
  ui::SetAccessibility(button, a);
  const Object object(button);
  ASSERT_NE(object.p, nullptr);
  EXPECT_EQ(Name(object), L"Auto");  // the window text, as the standard proxy reads it
  EXPECT_EQ(Role(object), ROLE_SYSTEM_CHECKBUTTON);
  BSTR description = nullptr;
  ASSERT_EQ(object->get_accDescription(Child(CHILDID_SELF), &description), S_OK);
  EXPECT_STREQ(description, L"Convert a second after typing");
  SysFreeString(description);
  EXPECT_NE(State(object) & STATE_SYSTEM_CHECKED, 0);
  on = false;
  EXPECT_EQ(State(object) & STATE_SYSTEM_CHECKED, 0);

  HWND status = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 20, 20, parent.hwnd(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  std::wstring text = L"first";
  ui::Accessibility live;
  live.currentName = [&] { return text; };
  ui::SetAccessibility(status, live);
  const Object line(status);
  EXPECT_EQ(Name(line), L"first");
  text = L"second";
  EXPECT_EQ(Name(line), L"second");

  // A leader of underscores only decorates: not read out.
  HWND leader = CreateWindowExW(0, L"STATIC", L"________", WS_CHILD, 0, 0, 20, 2, parent.hwnd(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ui::MarkSeparator(leader);
  const Object separator(leader);
  EXPECT_EQ(Role(separator), ROLE_SYSTEM_SEPARATOR);
  EXPECT_EQ(Name(separator), L"<none>");
}

// A screen reader may hold the object after the window is gone; what the
// object's texts came from goes with the window, so it must not read them.
TEST(Accessibility, AnObjectKeptPastItsControlAnswersThatItIsGone) {
  Com com;
  Parent parent;
  HWND list = AddListBox(parent, {L"one"});
  auto rows = std::make_unique<std::vector<std::wstring>>(std::vector<std::wstring>{L"row one"});
  ui::Accessibility a;
  a.rowName = [owner = rows.get()](int row) { return owner->at(static_cast<std::size_t>(row)); };
  ui::SetAccessibility(list, a);
  const Object object(list);
  ASSERT_NE(object.p, nullptr);
  EXPECT_EQ(Name(object, 1), L"row one");
  DestroyWindow(list);
  rows.reset();
  BSTR name = nullptr;
  EXPECT_EQ(object->get_accName(Child(1), &name), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(name, nullptr);
  LONG count = 5;
  EXPECT_EQ(object->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
}

}  // namespace
