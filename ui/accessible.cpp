#include "accessible.h"

#include <commctrl.h>

#include <exception>
#include <memory>
#include <new>
#include <unordered_map>
#include <utility>

namespace ui {
namespace {

constexpr UINT_PTR kSubclassId = 0x6163;

// IID_IAccessible of the import library is the address of oleacc's export,
// not the GUID: the interface's own identifier is taken from its declaration.
// What a control's objects share with its subclass. The objects may outlive
// the control (a screen reader keeps them as long as it likes): once the
// control is gone they answer that they are no longer connected.
struct Shared {
  HWND hwnd = nullptr;
  Accessibility accessibility;
  bool alive = true;
};
using SharedPtr = std::shared_ptr<Shared>;

// Runs a method's body; an escaping exception becomes a failure, never a crash
// of the program under the screen reader's call.
template <typename F>
HRESULT Guarded(F&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT NewBstr(const std::wstring& text, BSTR* out) {
  if (text.empty()) return S_FALSE;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

class AccessibleObject final : public IAccessible {
 public:
  AccessibleObject(SharedPtr shared, IAccessible* standard) : shared_(std::move(shared)), standard_(standard) {}
  ~AccessibleObject() { standard_->Release(); }
  AccessibleObject(const AccessibleObject&) = delete;
  AccessibleObject& operator=(const AccessibleObject&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: the standard proxy's.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return standard_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argError) override {
    return standard_->Invoke(id, iid, locale, flags, params, result, exception, argError);
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }

  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    if (!HasRows()) return standard_->get_accChildCount(count);
    *count = RowCount();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    if (Row(child) < 0) return standard_->get_accChild(child, out);
    *out = nullptr;  // a row is a simple element of the list, no object of its own
    return S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    *name = nullptr;
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    return Guarded([&] {
      const Accessibility& a = shared_->accessibility;
      if (IsSelf(child) && a.currentName) return NewBstr(a.currentName(), name);
      if (IsSelf(child) && !a.name.empty()) return NewBstr(a.name, name);
      if (IsSelf(child) && a.role == ROLE_SYSTEM_SEPARATOR) return S_FALSE;  // whatever text it draws
      const int row = Row(child);
      if (row >= 0) return NewBstr(a.rowName(row), name);
      return standard_->get_accName(child, name);
    });
  }

  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return Row(child) < 0 ? standard_->get_accValue(child, value) : Nothing(value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    if (!text) return E_POINTER;
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    const std::wstring& own = shared_->accessibility.description;
    if (IsSelf(child) && !own.empty()) return Guarded([&] { return NewBstr(own, text); });
    return Row(child) < 0 ? standard_->get_accDescription(child, text) : Nothing(text);
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    LONG own = Row(child) >= 0 ? ROLE_SYSTEM_LISTITEM : 0;
    if (IsSelf(child)) own = shared_->accessibility.role ? shared_->accessibility.role : HasRows() ? ROLE_SYSTEM_LIST : 0;
    if (!own) return standard_->get_accRole(child, role);
    role->vt = VT_I4;
    role->lVal = own;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    return Guarded([&] {
      const int row = Row(child);
      if (row >= 0) {
        LONG bits = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (row == Selected()) bits |= STATE_SYSTEM_SELECTED | (GetFocus() == Hwnd() ? STATE_SYSTEM_FOCUSED : 0);
        state->vt = VT_I4;
        state->lVal = bits;
        return S_OK;
      }
      const HRESULT hr = standard_->get_accState(child, state);
      const auto& extra = shared_->accessibility.extraState;
      if (SUCCEEDED(hr) && IsSelf(child) && extra && state->vt == VT_I4) state->lVal |= extra();
      return hr;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return Row(child) < 0 ? standard_->get_accHelp(child, help) : Nothing(help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return Row(child) < 0 ? standard_->get_accKeyboardShortcut(child, keys) : Nothing(keys);
  }

  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    if (!HasRows()) return standard_->get_accFocus(focus);
    VariantInit(focus);
    if (GetFocus() != Hwnd()) return S_FALSE;
    focus->vt = VT_I4;
    focus->lVal = Selected() + 1;  // no row selected: the list itself
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    if (!HasRows()) return standard_->get_accSelection(selection);
    VariantInit(selection);
    const int row = Selected();
    if (row < 0) return S_FALSE;
    selection->vt = VT_I4;
    selection->lVal = row + 1;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return Row(child) < 0 ? standard_->get_accDefaultAction(child, action) : Nothing(action);
  }

  // Selecting a row is choosing it as the user does: the list's owner hears of it.
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    const int row = Row(child);
    if (row < 0) return standard_->accSelect(flags, child);
    if ((flags & SELFLAG_TAKEFOCUS) != 0) SetFocus(Hwnd());
    if ((flags & SELFLAG_TAKESELECTION) && row != Selected()) {
      SendMessageW(Hwnd(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
      SendMessageW(GetParent(Hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Hwnd()), LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Hwnd()));
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    const int row = Row(child);
    if (row < 0) return standard_->accLocation(left, top, width, height, child);
    RECT r{};
    if (SendMessageW(Hwnd(), LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
      return E_FAIL;
    MapWindowPoints(Hwnd(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    const int row = Row(start);
    const bool fromList = HasRows() && IsSelf(start) && (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD);
    if (row < 0 && !fromList) return standard_->accNavigate(direction, start, end);
    const int count = RowCount();
    int target = -1;
    switch (direction) {
      case NAVDIR_FIRSTCHILD: target = 0; break;
      case NAVDIR_LASTCHILD: target = count - 1; break;
      case NAVDIR_NEXT:
      case NAVDIR_DOWN: target = row + 1; break;
      case NAVDIR_PREVIOUS:
      case NAVDIR_UP: target = row - 1; break;
      default: break;
    }
    VariantInit(end);
    if (target < 0 || target >= count) return S_FALSE;
    end->vt = VT_I4;
    end->lVal = target + 1;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    if (!child) return E_POINTER;
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    if (!HasRows()) return standard_->accHitTest(x, y, child);
    VariantInit(child);
    POINT p{x, y};
    ScreenToClient(Hwnd(), &p);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    if (!PtInRect(&client, p)) return S_FALSE;
    const LRESULT hit = SendMessageW(Hwnd(), LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
    child->vt = VT_I4;
    child->lVal = HIWORD(hit) ? CHILDID_SELF : static_cast<LONG>(LOWORD(hit)) + 1;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return Row(child) < 0 ? standard_->accDoDefaultAction(child) : DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return standard_->put_accName(child, name); }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

 private:
  bool Alive() const { return shared_->alive && IsWindow(shared_->hwnd); }
  HWND Hwnd() const { return shared_->hwnd; }
  bool HasRows() const { return static_cast<bool>(shared_->accessibility.rowName); }
  int RowCount() const {
    const LRESULT count = SendMessageW(Hwnd(), LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
  }
  int Selected() const {
    const LRESULT selected = SendMessageW(Hwnd(), LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
  }
  // The row a child id names; -1 for the control itself and for what is no row.
  int Row(const VARIANT& child) const {
    if (!HasRows() || child.vt != VT_I4 || child.lVal <= 0 || !Alive()) return -1;
    return child.lVal <= RowCount() ? static_cast<int>(child.lVal) - 1 : -1;
  }
  static HRESULT Nothing(BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
  }

  LONG refs_ = 1;
  SharedPtr shared_;
  IAccessible* standard_;
};

// The controls that describe themselves; windows belong to one thread, so
// each thread has its own.
std::unordered_map<HWND, SharedPtr>& Described() {
  thread_local std::unordered_map<HWND, SharedPtr> described;
  return described;
}

LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) noexcept {
  auto& described = Described();
  const auto found = described.find(hwnd);
  if (found == described.end()) return DefSubclassProc(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    found->second->alive = false;
    found->second->accessibility = {};  // what it refers to goes with the window
    described.erase(found);
    RemoveWindowSubclass(hwnd, Subclass, kSubclassId);
  } else if (message == WM_GETOBJECT && static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT) {
    IAccessible* standard = nullptr;
    if (SUCCEEDED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))) &&
        standard) {
      auto* object = new (std::nothrow) AccessibleObject(found->second, standard);
      if (!object) {
        standard->Release();
      } else {
        const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, object);
        object->Release();
        // Not handed out (a thread without COM): the standard proxy answers alone.
        if (!FAILED(static_cast<HRESULT>(answer))) return answer;
      }
    }
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void SetAccessibility(HWND control, Accessibility accessibility) {
  if (!control || !SetWindowSubclass(control, Subclass, kSubclassId, 0)) return;
  SharedPtr& shared = Described()[control];
  if (shared) shared->alive = false;  // objects handed out before go quiet
  shared = std::make_shared<Shared>(Shared{control, std::move(accessibility), true});
}

void SetAccessibleName(HWND control, std::wstring name, LONG role) {
  Accessibility accessibility;
  accessibility.name = std::move(name);
  accessibility.role = role;
  SetAccessibility(control, std::move(accessibility));
}

void MarkSeparator(HWND control) { SetAccessibleName(control, {}, ROLE_SYSTEM_SEPARATOR); }

}  // namespace ui
