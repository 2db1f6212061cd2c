// The screening wrappers of a rich edit control's text object model. See
// strict_consoles.h. Every call goes on to the control's own object, except
// that a change of content while the control is read-only, or a null text,
// is refused first. A range passed back into the model is unwrapped, so the
// control's object only ever sees its own ranges.
#include "tests/support/strict_consoles.h"

#include <windows.h>
//
#include <richedit.h>
#include <richole.h>
#include <tom.h>

#include "ui/console/text_object_ids.h"

namespace {

// The toolchain's libraries define none of the text object model's IIDs.
const IID kTextSelectionIid = {
    0x8CC497C1, 0xA1DF, 0x11CE, {0x80, 0x98, 0x00, 0xAA, 0x00, 0x47, 0xBE, 0x5D}};
const IID kTextRangeIid = {
    0x8CC497C2, 0xA1DF, 0x11CE, {0x80, 0x98, 0x00, 0xAA, 0x00, 0x47, 0xBE, 0x5D}};
// Answered only by our own range wrappers, so one passed in can be told
// apart from the control's ranges.
const IID kStrictRangeIid = {
    0x5E1C0A11, 0x7D2B, 0x4C3E, {0x9A, 0x41, 0x22, 0x6B, 0x0C, 0x5F, 0x13, 0x77}};

bool ReadOnly(HWND control) { return (::GetWindowLongA(control, GWL_STYLE) & ES_READONLY) != 0; }

// The reference counting that every wrapper shares; the wrapper holds one
// reference to the control's object.
template <typename Interface, typename Real>
class CWrapper : public Interface {
 public:
  CWrapper(Real* real, HWND control) : m_real(real), m_control(control) {}
  virtual ~CWrapper() { m_real->Release(); }
  ULONG WINAPI AddRef() override { return ::InterlockedIncrement(&m_references); }
  ULONG WINAPI Release() override {
    const LONG left = ::InterlockedDecrement(&m_references);
    if (left == 0) delete this;
    return left;
  }

 protected:
  HRESULT Refuse() const { return ReadOnly(m_control) ? E_ACCESSDENIED : S_OK; }
  Real* const m_real;
  const HWND m_control;

 private:
  LONG m_references = 1;
};

// The IDispatch part of a wrapper, forwarded unscreened.
#define STRICT_FORWARD_DISPATCH                                                                   \
  HRESULT WINAPI GetTypeInfoCount(UINT* count) override {                                         \
    return m_real->GetTypeInfoCount(count);                                                       \
  }                                                                                               \
  HRESULT WINAPI GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {                \
    return m_real->GetTypeInfo(index, locale, info);                                              \
  }                                                                                               \
  HRESULT WINAPI GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) \
      override {                                                                                  \
    return m_real->GetIDsOfNames(iid, names, count, locale, ids);                                 \
  }                                                                                               \
  HRESULT WINAPI Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,       \
                        VARIANT* result, EXCEPINFO* exception, UINT* argument) override {         \
    return m_real->Invoke(id, iid, locale, flags, params, result, exception, argument);           \
  }

#define STRICT_FORWARD(method, params, args) \
  HRESULT WINAPI method params override { return m_real->method args; }
// One of the selection's own methods (m_real is a selection then).
#define STRICT_SELECTION_FORWARD(method, params, args) \
  HRESULT WINAPI method params override { return Selection()->method args; }
// A change of content: refused while the control is read-only.
#define STRICT_CHANGE(method, params, args)               \
  HRESULT WINAPI method params override {                 \
    if (const HRESULT refused = Refuse()) return refused; \
    return m_real->method args;                           \
  }

// A range or the selection (ITextSelection extends ITextRange; the
// selection's own methods are reached only through a real selection).
class CStrictRange : public CWrapper<ITextSelection, ITextRange> {
 public:
  CStrictRange(ITextRange* real, HWND control, bool selection)
      : CWrapper(real, control), m_selection(selection) {}

  // Wraps *range in place (which must hold a reference); null stays null.
  static void Wrap(ITextRange** range, HWND control, bool selection = false) {
    if (*range != nullptr) *range = new CStrictRange(*range, control, selection);
  }
  // The control's own range behind range, when it is one of ours.
  static ITextRange* Unwrapped(ITextRange* range) {
    CStrictRange* ours = nullptr;
    if (range == nullptr ||
        range->QueryInterface(kStrictRangeIid, reinterpret_cast<void**>(&ours)) != S_OK)
      return range;
    return ours->m_real;
  }

  HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
    if (iid == kStrictRangeIid) {
      *object = this;  // no reference: only Unwrapped asks
      return S_OK;
    }
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kTextRangeIid ||
        (m_selection && iid == kTextSelectionIid)) {
      AddRef();
      *object = static_cast<ITextSelection*>(this);
      return S_OK;
    }
    return m_real->QueryInterface(iid, object);
  }
  STRICT_FORWARD_DISPATCH
  STRICT_FORWARD(GetText, (BSTR * text), (text))
  HRESULT WINAPI SetText(BSTR text) override {
    if (text == nullptr) return E_INVALIDARG;
    if (const HRESULT refused = Refuse()) return refused;
    return m_real->SetText(text);
  }
  STRICT_FORWARD(GetChar, (long* c), (c))
  STRICT_CHANGE(SetChar, (long c), (c))
  HRESULT WINAPI GetDuplicate(ITextRange** range) override {
    const HRESULT result = m_real->GetDuplicate(range);
    if (result == S_OK) Wrap(range, m_control);
    return result;
  }
  STRICT_FORWARD(GetFormattedText, (ITextRange * *range), (range))
  STRICT_CHANGE(SetFormattedText, (ITextRange * range), (Unwrapped(range)))
  STRICT_FORWARD(GetStart, (long* first), (first))
  STRICT_FORWARD(SetStart, (long first), (first))
  STRICT_FORWARD(GetEnd, (long* limit), (limit))
  STRICT_FORWARD(SetEnd, (long limit), (limit))
  STRICT_FORWARD(GetFont, (ITextFont * *font), (font))
  STRICT_CHANGE(SetFont, (ITextFont * font), (font))
  STRICT_FORWARD(GetPara, (ITextPara * *para), (para))
  STRICT_CHANGE(SetPara, (ITextPara * para), (para))
  STRICT_FORWARD(GetStoryLength, (long* length), (length))
  STRICT_FORWARD(GetStoryType, (long* type), (type))
  STRICT_FORWARD(Collapse, (long start), (start))
  STRICT_FORWARD(Expand, (long unit, long* delta), (unit, delta))
  STRICT_FORWARD(GetIndex, (long unit, long* index), (unit, index))
  STRICT_FORWARD(SetIndex, (long unit, long index, long extend), (unit, index, extend))
  STRICT_FORWARD(SetRange, (long active, long other), (active, other))
  STRICT_FORWARD(InRange, (ITextRange * range, long* in), (Unwrapped(range), in))
  STRICT_FORWARD(InStory, (ITextRange * range, long* in), (Unwrapped(range), in))
  STRICT_FORWARD(IsEqual, (ITextRange * range, long* equal), (Unwrapped(range), equal))
  STRICT_FORWARD(Select, (), ())
  STRICT_FORWARD(StartOf, (long unit, long extend, long* delta), (unit, extend, delta))
  STRICT_FORWARD(EndOf, (long unit, long extend, long* delta), (unit, extend, delta))
  STRICT_FORWARD(Move, (long unit, long count, long* delta), (unit, count, delta))
  STRICT_FORWARD(MoveStart, (long unit, long count, long* delta), (unit, count, delta))
  STRICT_FORWARD(MoveEnd, (long unit, long count, long* delta), (unit, count, delta))
  STRICT_FORWARD(MoveWhile, (VARIANT * set, long count, long* delta), (set, count, delta))
  STRICT_FORWARD(MoveStartWhile, (VARIANT * set, long count, long* delta), (set, count, delta))
  STRICT_FORWARD(MoveEndWhile, (VARIANT * set, long count, long* delta), (set, count, delta))
  STRICT_FORWARD(MoveUntil, (VARIANT * set, long count, long* delta), (set, count, delta))
  STRICT_FORWARD(MoveStartUntil, (VARIANT * set, long count, long* delta), (set, count, delta))
  STRICT_FORWARD(MoveEndUntil, (VARIANT * set, long count, long* delta), (set, count, delta))
  STRICT_FORWARD(FindText, (BSTR text, long count, long flags, long* length),
                 (text, count, flags, length))
  STRICT_FORWARD(FindTextStart, (BSTR text, long count, long flags, long* length),
                 (text, count, flags, length))
  STRICT_FORWARD(FindTextEnd, (BSTR text, long count, long flags, long* length),
                 (text, count, flags, length))
  STRICT_CHANGE(Delete, (long unit, long count, long* delta), (unit, count, delta))
  STRICT_CHANGE(Cut, (VARIANT * data), (data))
  STRICT_FORWARD(Copy, (VARIANT * data), (data))
  STRICT_CHANGE(Paste, (VARIANT * data, long format), (data, format))
  STRICT_FORWARD(CanPaste, (VARIANT * data, long format, long* can), (data, format, can))
  HRESULT WINAPI CanEdit(long* can) override {
    if (can != nullptr && ReadOnly(m_control)) {
      *can = tomFalse;
      return S_FALSE;
    }
    return m_real->CanEdit(can);
  }
  STRICT_CHANGE(ChangeCase, (long type), (type))
  STRICT_FORWARD(GetPoint, (long type, long* x, long* y), (type, x, y))
  STRICT_FORWARD(SetPoint, (long x, long y, long type, long extend), (x, y, type, extend))
  STRICT_FORWARD(ScrollIntoView, (long value), (value))
  STRICT_FORWARD(GetEmbeddedObject, (IUnknown * *object), (object))

  STRICT_SELECTION_FORWARD(GetFlags, (long* flags), (flags))
  STRICT_SELECTION_FORWARD(SetFlags, (LONG flags), (flags))
  STRICT_SELECTION_FORWARD(GetType, (long* type), (type))
  STRICT_SELECTION_FORWARD(MoveLeft, (long unit, long count, long extend, long* delta),
                           (unit, count, extend, delta))
  STRICT_SELECTION_FORWARD(MoveRight, (long unit, long count, long extend, long* delta),
                           (unit, count, extend, delta))
  STRICT_SELECTION_FORWARD(MoveUp, (long unit, long count, long extend, long* delta),
                           (unit, count, extend, delta))
  STRICT_SELECTION_FORWARD(MoveDown, (long unit, long count, long extend, long* delta),
                           (unit, count, extend, delta))
  STRICT_SELECTION_FORWARD(HomeKey, (long unit, long extend, long* delta), (unit, extend, delta))
  STRICT_SELECTION_FORWARD(EndKey, (long unit, long extend, long* delta), (unit, extend, delta))
  HRESULT WINAPI TypeText(BSTR text) override {
    if (const HRESULT refused = Refuse()) return refused;
    return Selection()->TypeText(text);
  }

 private:
  // Only a wrapper made with selection true hands out ITextSelection.
  ITextSelection* Selection() const { return static_cast<ITextSelection*>(m_real); }
  const bool m_selection;
};

class CStrictDocument : public CWrapper<ITextDocument, ITextDocument> {
 public:
  using CWrapper::CWrapper;
  HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kTextDocumentIid) {
      AddRef();
      *object = static_cast<ITextDocument*>(this);
      return S_OK;
    }
    return m_real->QueryInterface(iid, object);
  }
  STRICT_FORWARD_DISPATCH
  STRICT_FORWARD(GetName, (BSTR * name), (name))
  HRESULT WINAPI GetSelection(ITextSelection** selection) override {
    const HRESULT result = m_real->GetSelection(selection);
    if (result == S_OK)
      CStrictRange::Wrap(reinterpret_cast<ITextRange**>(selection), m_control, true);
    return result;
  }
  STRICT_FORWARD(GetStoryCount, (long* count), (count))
  STRICT_FORWARD(GetStoryRanges, (ITextStoryRanges * *stories), (stories))
  STRICT_FORWARD(GetSaved, (long* saved), (saved))
  STRICT_FORWARD(SetSaved, (long saved), (saved))
  STRICT_FORWARD(GetDefaultTabStop, (float* stop), (stop))
  STRICT_FORWARD(SetDefaultTabStop, (float stop), (stop))
  STRICT_CHANGE(New, (), ())
  STRICT_CHANGE(Open, (VARIANT * file, long flags, long codePage), (file, flags, codePage))
  STRICT_FORWARD(Save, (VARIANT * file, long flags, long codePage), (file, flags, codePage))
  STRICT_FORWARD(Freeze, (long* count), (count))
  STRICT_FORWARD(Unfreeze, (long* count), (count))
  STRICT_FORWARD(BeginEditCollection, (), ())
  STRICT_FORWARD(EndEditCollection, (), ())
  STRICT_CHANGE(Undo, (long count, long* done), (count, done))
  STRICT_CHANGE(Redo, (long count, long* done), (count, done))
  HRESULT WINAPI Range(long first, long limit, ITextRange** range) override {
    const HRESULT result = m_real->Range(first, limit, range);
    if (result == S_OK) CStrictRange::Wrap(range, m_control);
    return result;
  }
  HRESULT WINAPI RangeFromPoint(long x, long y, ITextRange** range) override {
    const HRESULT result = m_real->RangeFromPoint(x, y, range);
    if (result == S_OK) CStrictRange::Wrap(range, m_control);
    return result;
  }
};

// The object EM_GETOLEINTERFACE hands out: its text document is screened.
class CStrictRichEditOle : public CWrapper<IRichEditOle, IRichEditOle> {
 public:
  using CWrapper::CWrapper;
  HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IRichEditOle) {
      AddRef();
      *object = static_cast<IRichEditOle*>(this);
      return S_OK;
    }
    if (iid != kTextDocumentIid) return m_real->QueryInterface(iid, object);
    ITextDocument* document = nullptr;
    const HRESULT result = m_real->QueryInterface(iid, reinterpret_cast<void**>(&document));
    *object = result == S_OK ? new CStrictDocument(document, m_control) : nullptr;
    return result;
  }
  STRICT_FORWARD(GetClientSite, (IOleClientSite * *site), (site))
  LONG WINAPI GetObjectCount() override { return m_real->GetObjectCount(); }
  LONG WINAPI GetLinkCount() override { return m_real->GetLinkCount(); }
  STRICT_FORWARD(GetObject, (LONG index, REOBJECT* object, DWORD flags), (index, object, flags))
  STRICT_CHANGE(InsertObject, (REOBJECT * object), (object))
  STRICT_FORWARD(ConvertObject, (LONG index, REFCLSID clsid, LPCSTR type), (index, clsid, type))
  STRICT_FORWARD(ActivateAs, (REFCLSID clsid, REFCLSID as), (clsid, as))
  STRICT_FORWARD(SetHostNames, (LPCSTR app, LPCSTR object), (app, object))
  STRICT_FORWARD(SetLinkAvailable, (LONG index, WINBOOL available), (index, available))
  STRICT_FORWARD(SetDvaspect, (LONG index, DWORD aspect), (index, aspect))
  STRICT_FORWARD(HandsOffStorage, (LONG index), (index))
  STRICT_FORWARD(SaveCompleted, (LONG index, LPSTORAGE storage), (index, storage))
  STRICT_FORWARD(InPlaceDeactivate, (), ())
  STRICT_FORWARD(ContextSensitiveHelp, (WINBOOL enter), (enter))
  STRICT_FORWARD(GetClipboardData, (CHARRANGE * range, DWORD operation, LPDATAOBJECT* data),
                 (range, operation, data))
  STRICT_CHANGE(ImportDataObject, (LPDATAOBJECT data, CLIPFORMAT format, HGLOBAL picture),
                (data, format, picture))
};

WNDPROC g_richEditProc = nullptr;

LRESULT CALLBACK StrictRichEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = ::CallWindowProcA(g_richEditProc, window, message, wParam, lParam);
  auto** ole = reinterpret_cast<IRichEditOle**>(lParam);
  if (message == EM_GETOLEINTERFACE && result != 0 && ole != nullptr && *ole != nullptr)
    *ole = new CStrictRichEditOle(*ole, window);
  return result;
}

}  // namespace

bool InstallStrictConsoles() {
  if (g_richEditProc != nullptr) return true;
  if (::LoadLibraryA("riched32.dll") == nullptr) return false;
  // The class procedure is changed through any window of the class; every
  // control created afterwards, on any thread and by any module of the
  // process, starts with the screening one.
  HWND probe = ::CreateWindowExA(0, "RICHEDIT", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
  if (probe == nullptr) return false;
  g_richEditProc = reinterpret_cast<WNDPROC>(
      ::SetClassLongPtrA(probe, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StrictRichEditProc)));
  ::DestroyWindow(probe);
  return g_richEditProc != nullptr;
}
