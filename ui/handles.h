#pragma once
// Owners of the Windows handles the program frees: each type releases its
// handle in its destructor, moves but never copies, and gives the raw handle
// with get(). One template, one small traits struct per kind of handle.
#include <windows.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

namespace ui {

// Traits: `Type`, the `Null()` value, and `Free(handle)` for a handle that is not null.
template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Type get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Null(); }
  // Frees the handle held (if any) and holds `handle` instead.
  void Reset(Type handle = Traits::Null()) {
    if (handle_ != Traits::Null()) Traits::Free(handle_);
    handle_ = handle;
  }
  // Gives the handle up without freeing it.
  [[nodiscard]] Type Release() { return std::exchange(handle_, Traits::Null()); }

 private:
  Type handle_ = Traits::Null();
};

template <typename T>
struct GdiObjectTraits {
  using Type = T;
  static constexpr T Null() { return nullptr; }
  static void Free(T handle) { DeleteObject(handle); }
};
// A font, brush, pen, bitmap or region.
template <typename T>
using GdiObject = UniqueHandle<GdiObjectTraits<T>>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Bitmap = GdiObject<HBITMAP>;

struct MenuTraits {
  using Type = HMENU;
  static constexpr HMENU Null() { return nullptr; }
  static void Free(HMENU menu) { DestroyMenu(menu); }
};
// A menu with its submenus (a submenu inserted into another menu belongs to that one).
using Menu = UniqueHandle<MenuTraits>;

struct IconTraits {
  using Type = HICON;
  static constexpr HICON Null() { return nullptr; }
  static void Free(HICON icon) { DestroyIcon(icon); }
};
// An icon the program made or loaded unshared (never one loaded with LR_SHARED).
using Icon = UniqueHandle<IconTraits>;

struct AcceleratorTableTraits {
  using Type = HACCEL;
  static constexpr HACCEL Null() { return nullptr; }
  static void Free(HACCEL table) { DestroyAcceleratorTable(table); }
};
// A table of keyboard accelerators made with CreateAcceleratorTable.
using AcceleratorTable = UniqueHandle<AcceleratorTableTraits>;

struct RegistryKeyTraits {
  using Type = HKEY;
  static HKEY Null() { return nullptr; }
  static void Free(HKEY key) { RegCloseKey(key); }
};
// An open registry key; empty when it could not be opened or created.
class RegistryKey : public UniqueHandle<RegistryKeyTraits> {
 public:
  RegistryKey() = default;
  explicit RegistryKey(HKEY key) : UniqueHandle(key) {}
  static RegistryKey Open(HKEY root, const wchar_t* path, REGSAM access) {
    HKEY key = nullptr;
    return RegistryKey(RegOpenKeyExW(root, path, 0, access, &key) == ERROR_SUCCESS ? key : nullptr);
  }
  // Opens the key, creating it when it does not exist yet.
  static RegistryKey Create(HKEY root, const wchar_t* path, REGSAM access) {
    HKEY key = nullptr;
    return RegistryKey(RegCreateKeyExW(root, path, 0, nullptr, 0, access, nullptr, &key, nullptr) == ERROR_SUCCESS
                           ? key
                           : nullptr);
  }
};

struct MemoryDcTraits {
  using Type = HDC;
  static constexpr HDC Null() { return nullptr; }
  static void Free(HDC dc) { DeleteDC(dc); }
};
// A memory device context from CreateCompatibleDC.
using MemoryDc = UniqueHandle<MemoryDcTraits>;

struct KernelHandleTraits {
  using Type = HANDLE;
  static HANDLE Null() { return nullptr; }
  static void Free(HANDLE handle) {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
// A file, event, mutex, thread or process handle (INVALID_HANDLE_VALUE is held but never closed).
using KernelHandle = UniqueHandle<KernelHandleTraits>;

struct GlobalMemoryTraits {
  using Type = HGLOBAL;
  static constexpr HGLOBAL Null() { return nullptr; }
  static void Free(HGLOBAL memory) { GlobalFree(memory); }
};
// Memory from GlobalAlloc; Release() it once SetClipboardData has taken it.
using GlobalMemory = UniqueHandle<GlobalMemoryTraits>;

struct LibraryTraits {
  using Type = HMODULE;
  static constexpr HMODULE Null() { return nullptr; }
  static void Free(HMODULE module) { FreeLibrary(module); }
};
// A library loaded with LoadLibrary.
using Library = UniqueHandle<LibraryTraits>;

struct GlobalAtomTraits {
  using Type = ATOM;
  static constexpr ATOM Null() { return 0; }
  static void Free(ATOM atom) { GlobalDeleteAtom(atom); }
};
// A global atom, such as the identifier of a global hotkey.
class GlobalAtom : public UniqueHandle<GlobalAtomTraits> {
 public:
  GlobalAtom() = default;
  explicit GlobalAtom(ATOM atom) : UniqueHandle(atom) {}
  // Adds `name` to the global atom table; empty when the table refused it.
  static GlobalAtom Add(std::wstring_view name) {
    const std::wstring text(name);
    return GlobalAtom(GlobalAddAtomW(text.c_str()));
  }
};

// The device context of a window's client area (GetDC / ReleaseDC).
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Painting a window in WM_PAINT (BeginPaint / EndPaint).
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  ~PaintDc() { EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }
  const RECT& Area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// Keeps an object selected into a device context and puts the old one back.
class SelectIn {
 public:
  SelectIn(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectIn() { SelectObject(dc_, old_); }
  SelectIn(const SelectIn&) = delete;
  SelectIn& operator=(const SelectIn&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The memory of a global block, locked for the life of the object.
class LockedGlobal {
 public:
  explicit LockedGlobal(HGLOBAL block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
  ~LockedGlobal() {
    if (data_) GlobalUnlock(block_);
  }
  LockedGlobal(const LockedGlobal&) = delete;
  LockedGlobal& operator=(const LockedGlobal&) = delete;
  void* get() const { return data_; }
  std::size_t size() const { return data_ ? GlobalSize(block_) : 0; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  HGLOBAL block_;
  void* data_;
};

// The clipboard, open for the life of the object. Another program may hold it
// for a moment, so opening tries `tries` times, `pause` apart.
class Clipboard {
 public:
  explicit Clipboard(HWND owner, int tries = 10,
                     std::chrono::milliseconds pause = std::chrono::milliseconds(20)) {
    for (int i = 0; i < tries && !open_; ++i) {
      if (i > 0) std::this_thread::sleep_for(pause);
      open_ = OpenClipboard(owner) != FALSE;
    }
  }
  ~Clipboard() {
    if (open_) CloseClipboard();
  }
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;
  bool IsOpen() const { return open_; }
  explicit operator bool() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace ui
