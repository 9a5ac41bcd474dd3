// Drives the table editor of a running VelmarPro.exe from outside: opens it
// the ways a user does, reads its state, fills its edit boxes and presses its
// buttons by the WM_COMMAND their clicks send. Texts on the command line and
// on standard output are UTF-8.
#include <windows.h>

#include <chrono>
#include <iostream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "control_ids.h"
#include "e2e_win.h"
#include "editor_ids.h"

namespace {

using e2e::Fail;
using e2e::Utf8;
using e2e::Send;
using e2e::TextOf;
using e2e::WaitFor;
using e2e::MainWindow;
using e2e::Visible;
using e2e::FindMessageBox;

using velmar::ControlId;
using velmar::EditorId;
using velmar::ParamId;
using e2e::Clock;

HWND Editor(int timeoutMs = 10000) {
  HWND editor = nullptr;
  if (!WaitFor(timeoutMs, [&] { return (editor = Visible(velmar::kTableEditClass)) != nullptr; }))
    Fail("no table editor");
  return editor;
}

HWND Item(HWND window, int id) {
  HWND control = GetDlgItem(window, id);
  if (!control) Fail("no control " + std::to_string(id));
  return control;
}
HWND Item(HWND window, EditorId id) { return Item(window, static_cast<int>(id)); }
HWND Item(HWND window, ParamId id) { return Item(window, static_cast<int>(id)); }

void SetText(HWND control, const std::string& utf8) {
  const std::wstring wide = e2e::Wide(utf8);
  Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

const std::map<std::string, EditorId>& Buttons() {
  static const std::map<std::string, EditorId> buttons = {
      {"open", EditorId::sSpeedButton1}, {"save", EditorId::sSpeedButton2}, {"params", EditorId::sSpeedButton4},
      {"close", EditorId::sSpeedButton3}, {"add", EditorId::sSpeedButton5}, {"delete", EditorId::btn_Delete},
      {"up", EditorId::btn_Up},          {"down", EditorId::btn_Down}};
  return buttons;
}

const std::map<std::string, EditorId>& Edits() {
  static const std::map<std::string, EditorId> edits = {
      {"edit1", EditorId::Edit1}, {"edit2", EditorId::Edit2}, {"sample", EditorId::EditSample}};
  return edits;
}

void PrintEditor(HWND editor) {
  std::cout << "caption=" << Utf8(TextOf(editor)) << "\n";
  HWND list = Item(editor, EditorId::ListBox1);
  std::cout << "pairs=" << Send(list, LB_GETCOUNT, 0, 0) << "\n";
  std::cout << "sel=" << Send(list, LB_GETCURSEL, 0, 0) << "\n";
  for (auto [name, id] : Edits()) std::cout << name << "=" << Utf8(TextOf(Item(editor, id))) << "\n";
  std::cout << "result=" << Utf8(TextOf(Item(editor, EditorId::EditResult))) << "\n";
  // A status bar gives the text of its first part to WM_GETTEXT, which crosses processes.
  std::cout << "status=" << Utf8(TextOf(Item(editor, EditorId::StatusBar1))) << "\n";
  std::cout << "edits.enabled=" << (IsWindowEnabled(Item(editor, EditorId::Edit1)) && IsWindowEnabled(Item(editor, EditorId::Edit2)) ? 1 : 0) << "\n";
  std::cout << "main.enabled=" << (IsWindowEnabled(MainWindow()) ? 1 : 0) << "\n";
  RECT client;
  GetClientRect(editor, &client);
  std::cout << "client=" << client.right << "x" << client.bottom << "\n";
}

int Usage() {
  std::cerr << "usage: editor_e2e_client COMMAND [ARGS] [; COMMAND [ARGS]]...\n"
               "  open-editor          (the editor button of the main window)\n"
               "  edit-row ROW         (a double click on a row of the table list)\n"
               "  info                 (caption, pairs, selection, edit boxes, sample result)\n"
               "  set edit1|edit2|sample TEXT | select ROW\n"
               "  press open|save|params|close|add|delete|up|down\n"
               "  params FROM TO DESC FROM-ICON TO-ICON ok|cancel|close\n"
               "                       (prints the dialog's values as opened, then fills it and ends it)\n"
               "  answer BUTTON-ID     (prints the text of the program's message box and presses the button)\n"
               "  close-editor | wait-gone\n"
               "  main-sel             (the selected row of the main window's table list)\n"
               "  end-session BUTTON-ID (WM_QUERYENDSESSION; the question is answered, the reply printed)\n"
               "  wait-pairs N | wait-sel ROW\n"
               "  row-point ROW | main-row-point ROW   (screen point of a row of the editor's or the main list)\n"
               "  rows | convert-row ROW TEXT   (the main window's table list; a conversion with a row)\n";
  return 2;
}

// Runs one command; Fail() ends the program with an error.
void Run(const std::vector<std::string>& args) {
  const std::string& command = args[0];
  const auto arg = [&](std::size_t i) {
    if (i >= args.size()) Fail("missing argument for " + command);
    return args[i];
  };

  HWND main = MainWindow();
  if (command == "open-editor") {
    // Posted: the editor is modal, so the click returns only when it closes.
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(static_cast<int>(ControlId::sSpeedButton3), BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(main, static_cast<int>(ControlId::sSpeedButton3))));
    Editor();
  } else if (command == "edit-row") {
    HWND list = GetDlgItem(main, static_cast<int>(ControlId::ListBox1));
    Send(list, LB_SETCURSEL, static_cast<WPARAM>(std::stoi(arg(1))), 0);
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(static_cast<int>(ControlId::ListBox1), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list));
    Editor();
  } else if (command == "info") {
    PrintEditor(Editor());
  } else if (command == "set") {
    const auto found = Edits().find(arg(1));
    if (found == Edits().end()) Fail("unknown edit box " + arg(1));
    SetText(Item(Editor(), found->second), arg(2));  // the edit box tells the editor: EN_CHANGE
  } else if (command == "select") {
    HWND editor = Editor();
    HWND list = Item(editor, EditorId::ListBox1);
    Send(list, LB_SETCURSEL, static_cast<WPARAM>(std::stoi(arg(1))), 0);
    Send(editor, WM_COMMAND, MAKEWPARAM(static_cast<int>(EditorId::ListBox1), LBN_SELCHANGE),
         reinterpret_cast<LPARAM>(list));
  } else if (command == "press") {
    const auto found = Buttons().find(arg(1));
    if (found == Buttons().end()) Fail("unknown button " + arg(1));
    HWND editor = Editor();
    const WPARAM click = MAKEWPARAM(static_cast<int>(found->second), BN_CLICKED);
    const auto button = reinterpret_cast<LPARAM>(Item(editor, found->second));
    // Commands that open a window of their own are posted: a sent click would
    // return only when that window closes. The others are done when sent.
    const bool opensWindow = arg(1) == "open" || arg(1) == "save" || arg(1) == "params" || arg(1) == "close";
    if (opensWindow) PostMessageW(editor, WM_COMMAND, click, button);
    else Send(editor, WM_COMMAND, click, button);
  } else if (command == "params") {
    HWND editor = Editor();
    PostMessageW(editor, WM_COMMAND, MAKEWPARAM(static_cast<int>(EditorId::sSpeedButton4), BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(editor, EditorId::sSpeedButton4)));
    HWND dialog = nullptr;
    if (!WaitFor(10000, [&] { return (dialog = Visible(velmar::kTableParamClass)) != nullptr; }))
      Fail("no parameters dialog");
    HWND from = Item(dialog, ParamId::EditFrom), to = Item(dialog, ParamId::EditTo), desc = Item(dialog, ParamId::EditDesc);
    HWND combo1 = Item(dialog, ParamId::ComboBox1), combo2 = Item(dialog, ParamId::ComboBox2);
    std::cout << "params=" << Utf8(TextOf(from)) << "|" << Utf8(TextOf(to)) << "|" << Utf8(TextOf(desc)) << "|"
              << Send(combo1, CB_GETCURSEL, 0, 0) << "|" << Send(combo2, CB_GETCURSEL, 0, 0) << "|"
              << Send(combo1, CB_GETCOUNT, 0, 0) << "\n";
    SetText(from, arg(1));
    SetText(to, arg(2));
    SetText(desc, arg(3));
    Send(combo1, CB_SETCURSEL, static_cast<WPARAM>(std::stoi(arg(4))), 0);
    Send(combo2, CB_SETCURSEL, static_cast<WPARAM>(std::stoi(arg(5))), 0);
    const std::string end = arg(6);
    if (end == "close") PostMessageW(dialog, WM_CLOSE, 0, 0);
    else PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(end == "ok" ? IDOK : IDCANCEL, BN_CLICKED), 0);
    if (!WaitFor(10000, [] { return Visible(velmar::kTableParamClass) == nullptr; }))
      Fail("the parameters dialog did not close");
    Send(editor, WM_NULL, 0, 0);
  } else if (command == "answer") {
    // The program's message box: prints its text and presses the button.
    HWND box = nullptr;
    if (!WaitFor(10000, [&] { return (box = FindMessageBox(main)) != nullptr; })) Fail("no message box");
    HWND text = GetDlgItem(box, 0xFFFF);
    std::cout << "message=" << Utf8(text ? TextOf(text) : L"") << "\n";
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(std::stoi(arg(1)), BN_CLICKED), 0);
    if (!WaitFor(10000, [&] { return !IsWindow(box) || !IsWindowVisible(box); })) Fail("the message box stays");
  } else if (command == "wait-pairs" || command == "wait-sel") {
    // For key presses, which reach the editor through the X server in their own time.
    HWND list = Item(Editor(), EditorId::ListBox1);
    const UINT message = command == "wait-pairs" ? LB_GETCOUNT : LB_GETCURSEL;
    const LRESULT expected = std::stoi(arg(1));
    if (!WaitFor(10000, [&] { return Send(list, message, 0, 0) == expected; }))
      Fail(command + ": still " + std::to_string(Send(list, message, 0, 0)));
  } else if (command == "row-point") {
    // The screen point in the middle of row N of the editor's pair list.
    HWND list = Item(Editor(), EditorId::ListBox1);
    RECT r{};
    if (Send(list, LB_GETITEMRECT, static_cast<WPARAM>(std::stoi(arg(1))), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
      Fail("no row " + arg(1));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(list, &p);
    std::cout << "point=" << p.x << " " << p.y << "\n";
  } else if (command == "main-row-point") {
    // The same for a row of the main window's table list.
    HWND list = GetDlgItem(main, static_cast<int>(ControlId::ListBox1));
    RECT r{};
    if (Send(list, LB_GETITEMRECT, static_cast<WPARAM>(std::stoi(arg(1))), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
      Fail("no row " + arg(1));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(list, &p);
    std::cout << "point=" << p.x << " " << p.y << "\n";
  } else if (command == "main-sel") {
    std::cout << "mainsel=" << Send(GetDlgItem(main, static_cast<int>(ControlId::ListBox1)), LB_GETCURSEL, 0, 0)
              << "\n";
  } else if (command == "end-session") {
    // The end of the session asks the program first; the question it shows
    // is answered with BUTTON-ID while the query waits for its reply.
    DWORD_PTR reply = 2;
    std::thread query([&] {
      if (!SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 30000, &reply)) reply = 3;
    });
    HWND box = nullptr;
    const bool asked = WaitFor(10000, [&] { return (box = FindMessageBox(main)) != nullptr; });
    if (asked) {
      HWND text = GetDlgItem(box, 0xFFFF);
      std::cout << "message=" << Utf8(text ? TextOf(text) : L"") << "\n";
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(std::stoi(arg(1)), BN_CLICKED), 0);
    }
    query.join();
    std::cout << "endsession=" << reply << "\n";
  } else if (command == "close-editor") {
    PostMessageW(Editor(), WM_CLOSE, 0, 0);
  } else if (command == "wait-gone") {
    if (!WaitFor(10000, [] { return Visible(velmar::kTableEditClass) == nullptr; })) Fail("the editor is still open");
    Send(main, WM_NULL, 0, 0);  // the main window has done what follows the editor
  } else if (command == "rows") {
    HWND list = GetDlgItem(main, static_cast<int>(ControlId::ListBox1));
    const auto count = Send(list, LB_GETCOUNT, 0, 0);
    std::cout << "rows=" << count << "\n";
    for (LRESULT i = 0; i < count; ++i) {
      std::cout << "row" << i << "=" << Utf8(e2e::ListItem(list, i)) << "\n";
    }
  } else if (command == "convert-row") {
    // A user's choice of the row, the text into the source box, "Транслит", the result.
    HWND list = GetDlgItem(main, static_cast<int>(ControlId::ListBox1));
    HWND velmar = GetDlgItem(main, static_cast<int>(ControlId::btn_Velmar));
    HWND memo2 = GetDlgItem(main, static_cast<int>(ControlId::Memo2));
    const auto idle = [&] { return IsWindowEnabled(velmar) && IsWindowEnabled(list); };
    Send(list, LB_SETCURSEL, static_cast<WPARAM>(std::stoi(arg(1))), 0);
    Send(main, WM_COMMAND, MAKEWPARAM(static_cast<int>(ControlId::ListBox1), LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    if (!WaitFor(20000, idle)) Fail("no end of the run");
    SetText(GetDlgItem(main, static_cast<int>(ControlId::Memo1)), arg(2));
    Send(main, WM_COMMAND, MAKEWPARAM(static_cast<int>(ControlId::btn_Velmar), BN_CLICKED), reinterpret_cast<LPARAM>(velmar));
    if (!WaitFor(20000, idle)) Fail("no end of the run");
    std::cout << "converted=" << Utf8(TextOf(memo2)) << "\n";
  } else {
    Fail("unknown command " + command);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::string> args = e2e::Arguments(argc, argv);
  if (args.empty()) return Usage();
  // Commands separated by ";" run in order in one start (each start of a
  // Windows program costs a good part of a second under Wine).
  std::vector<std::string> command;
  for (std::size_t i = 0; i <= args.size(); ++i) {
    if (i == args.size() || args[i] == ";") {
      if (!command.empty()) Run(command);
      command.clear();
    } else {
      command.push_back(args[i]);
    }
  }
  return 0;
}
