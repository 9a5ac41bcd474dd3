// The owner of a WinINet handle, beside the one client that uses WinINet.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "handles.h"

namespace ui {

struct InternetHandleTraits {
  using Type = HINTERNET;
  static constexpr HINTERNET Null() { return nullptr; }
  static void Free(HINTERNET handle) { InternetCloseHandle(handle); }
};
// A WinINet session, connection or request (link wininet where it is used).
using InternetHandle = UniqueHandle<InternetHandleTraits>;

}  // namespace ui
