#include "toolkit/win32/native/Accessible.h"

#include "toolkit/win32/Text.h"

#include <oleacc.h>

namespace win32 {

namespace {

const wchar_t* const SourceProperty = L"Reelstand.Accessible";

// MinGW's import library links IID_IAccessible to a thunk into oleacc.dll, not to the GUID.
const IID& AccessibleIid = __uuidof(IAccessible);

AccessibleSource* SourceOf(HWND window) {
    return IsWindow(window) ? static_cast<AccessibleSource*>(GetPropW(window, SourceProperty))
                            : nullptr;
}

BSTR Bstr(const std::string& text) {
    const std::wstring wide = Widen(text);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// A text answer: S_FALSE with no string when there is none.
HRESULT Answer(const std::string& text, BSTR* out) {
    if (text.empty())
        return S_FALSE;
    *out = Bstr(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* v, LONG id) {
    v->vt = VT_I4;
    v->lVal = id;
}

// The window's client object: the system's for the window itself, with what the source adds. Its
// children are the source's elements (ids 1 ... n), then the child windows (n + 1 ...).
class ClientObject final : public IAccessible {
public:
    ClientObject(HWND window, IAccessible* system) : FWindow(window), FSystem(system) {}
    ~ClientObject() {
        if (FSystem)
            FSystem->Release();
    }
    ClientObject(const ClientObject&) = delete;
    ClientObject& operator=(const ClientObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == AccessibleIid) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++FRefs); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = --FRefs;
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }

    // IDispatch: assistive technology calls IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent)
            return E_POINTER;
        *parent = nullptr;
        if (!Source())
            return RPC_E_DISCONNECTED;
        // The window object around this client area, as the system's client objects answer.
        return AccessibleObjectFromWindow(FWindow, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                          reinterpret_cast<void**>(parent));
    }

    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        const AccessibleSource* source = Source();
        if (!source)
            return RPC_E_DISCONNECTED;
        *count = static_cast<LONG>(source->AccessibleElements().size() + ChildWindows().size());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        const AccessibleSource* source = Source();
        if (!source)
            return RPC_E_DISCONNECTED;
        if (child.vt != VT_I4 || child.lVal <= 0)
            return E_INVALIDARG;
        const auto elements = static_cast<LONG>(source->AccessibleElements().size());
        if (child.lVal <= elements)
            return S_FALSE; // a simple element: its parent answers for it
        const std::vector<HWND> windows = ChildWindows();
        const auto i = static_cast<std::size_t>(child.lVal - elements - 1);
        if (i >= windows.size())
            return E_INVALIDARG;
        return AccessibleObjectFromWindow(windows[i], static_cast<DWORD>(OBJID_WINDOW),
                                          IID_IDispatch, reinterpret_cast<void**>(out));
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, &AccessibleElement::Name, &AccessibleSource::AccessibleName,
                    &IAccessible::get_accName);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Text(child, value, nullptr, &AccessibleSource::AccessibleValue,
                    &IAccessible::get_accValue);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return Text(child, text, nullptr, nullptr, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return Text(child, text, nullptr, nullptr, &IAccessible::get_accHelp);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return Text(child, text, nullptr, nullptr, &IAccessible::get_accKeyboardShortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
        return Text(child, text, &AccessibleElement::DefaultAction, nullptr,
                    &IAccessible::get_accDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        if (file)
            *file = nullptr;
        if (topic)
            *topic = 0;
        return S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return Number(child, role, &AccessibleElement::Role, &AccessibleSource::AccessibleRole,
                      &IAccessible::get_accRole);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Number(child, state, &AccessibleElement::State, nullptr, &IAccessible::get_accState);
    }

    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus)
            return E_POINTER;
        VariantInit(focus);
        const AccessibleSource* source = Source();
        if (!source)
            return RPC_E_DISCONNECTED;
        if (GetFocus() != FWindow)
            return S_FALSE;
        const int element = source->FocusedElement();
        SetChild(focus, element >= 0 ? element + 1 : CHILDID_SELF);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection)
            return E_POINTER;
        VariantInit(selection);
        return S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        AccessibleSource* source = Source();
        if (!source)
            return RPC_E_DISCONNECTED;
        const int element = Element(child, source->AccessibleElements());
        if (element < 0)
            return child.vt == VT_I4 && child.lVal == CHILDID_SELF && FSystem
                       ? FSystem->accSelect(flags, child)
                       : E_INVALIDARG;
        if (!(flags & SELFLAG_TAKEFOCUS))
            return S_FALSE;
        source->FocusElement(element);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        if (!left || !top || !width || !height)
            return E_POINTER;
        const AccessibleSource* source = Source();
        if (!source)
            return RPC_E_DISCONNECTED;
        RECT r{};
        if (child.vt == VT_I4 && child.lVal == CHILDID_SELF) {
            GetClientRect(FWindow, &r);
        } else {
            const std::vector<AccessibleElement> elements = source->AccessibleElements();
            const int element = Element(child, elements);
            if (element < 0)
                return E_INVALIDARG;
            r = elements[static_cast<std::size_t>(element)].Bounds;
        }
        MapWindowPoints(FWindow, nullptr, reinterpret_cast<POINT*>(&r), 2);
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (!end)
            return E_POINTER;
        VariantInit(end);
        if (start.vt == VT_I4 && start.lVal == CHILDID_SELF && FSystem)
            return FSystem->accNavigate(direction, start, end);
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
        if (!hit)
            return E_POINTER;
        VariantInit(hit);
        const AccessibleSource* source = Source();
        if (!source)
            return RPC_E_DISCONNECTED;
        POINT p{x, y};
        ScreenToClient(FWindow, &p);
        RECT client{};
        GetClientRect(FWindow, &client);
        if (!PtInRect(&client, p))
            return S_FALSE;
        const std::vector<AccessibleElement> elements = source->AccessibleElements();
        // The last drawn lies on top.
        for (std::size_t i = elements.size(); i-- > 0;) {
            if (!(elements[i].State & STATE_SYSTEM_INVISIBLE) && PtInRect(&elements[i].Bounds, p)) {
                SetChild(hit, static_cast<LONG>(i + 1));
                return S_OK;
            }
        }
        if (HWND child = ChildWindowFromPointEx(FWindow, p, CWP_SKIPINVISIBLE);
            child && child != FWindow) {
            hit->vt = VT_DISPATCH;
            return AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_WINDOW),
                                              IID_IDispatch,
                                              reinterpret_cast<void**>(&hit->pdispVal));
        }
        SetChild(hit, CHILDID_SELF);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        AccessibleSource* source = Source();
        if (!source)
            return RPC_E_DISCONNECTED;
        const std::vector<AccessibleElement> elements = source->AccessibleElements();
        const int element = Element(child, elements);
        if (element < 0)
            return child.vt == VT_I4 && child.lVal == CHILDID_SELF && FSystem
                       ? FSystem->accDoDefaultAction(child)
                       : E_INVALIDARG;
        if (elements[static_cast<std::size_t>(element)].DefaultAction.empty())
            return DISP_E_MEMBERNOTFOUND;
        source->DoDefaultAction(element);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    AccessibleSource* Source() const { return SourceOf(FWindow); }

    // The element a child id names among `elements` (the source works out every name for them,
    // so a call asks for them once); -1 for the window itself or an id out of range.
    static int Element(const VARIANT& child, const std::vector<AccessibleElement>& elements) {
        if (child.vt != VT_I4 || child.lVal <= 0)
            return -1;
        const auto count = static_cast<LONG>(elements.size());
        return child.lVal <= count ? static_cast<int>(child.lVal - 1) : -1;
    }

    std::vector<HWND> ChildWindows() const {
        std::vector<HWND> windows;
        for (HWND w = GetWindow(FWindow, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            windows.push_back(w);
        return windows;
    }

    using ElementText = std::string AccessibleElement::*;
    using SourceText = std::string (AccessibleSource::*)() const;
    using SystemText = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);

    // The element's text, or for the window itself the source's, else the system's.
    HRESULT Text(const VARIANT& child, BSTR* out, ElementText element, SourceText own,
                 SystemText system) {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        const AccessibleSource* source = Source();
        if (!source)
            return RPC_E_DISCONNECTED;
        if (child.vt == VT_I4 && child.lVal == CHILDID_SELF) {
            if (own) {
                if (const std::string text = (source->*own)(); !text.empty())
                    return Answer(text, out);
            }
            return FSystem ? (FSystem->*system)(child, out) : S_FALSE;
        }
        const std::vector<AccessibleElement> elements = source->AccessibleElements();
        const int i = Element(child, elements);
        if (i < 0)
            return E_INVALIDARG;
        return element ? Answer(elements[static_cast<std::size_t>(i)].*element, out) : S_FALSE;
    }

    using ElementNumber = LONG AccessibleElement::*;
    using SourceNumber = LONG (AccessibleSource::*)() const;
    using SystemNumber = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, VARIANT*);

    HRESULT Number(const VARIANT& child, VARIANT* out, ElementNumber element, SourceNumber own,
                   SystemNumber system) {
        if (!out)
            return E_POINTER;
        VariantInit(out);
        const AccessibleSource* source = Source();
        if (!source)
            return RPC_E_DISCONNECTED;
        if (child.vt == VT_I4 && child.lVal == CHILDID_SELF) {
            if (own) {
                if (const LONG value = (source->*own)(); value != 0) {
                    SetChild(out, value);
                    return S_OK;
                }
            }
            return FSystem ? (FSystem->*system)(child, out) : S_FALSE;
        }
        const std::vector<AccessibleElement> elements = source->AccessibleElements();
        const int i = Element(child, elements);
        if (i < 0)
            return E_INVALIDARG;
        SetChild(out, elements[static_cast<std::size_t>(i)].*element);
        return S_OK;
    }

    HWND FWindow;
    IAccessible* FSystem;
    LONG FRefs = 1;
};

} // namespace

void SetAccessibleSource(HWND window, AccessibleSource* source) {
    if (!window)
        return;
    if (source)
        SetPropW(window, SourceProperty, source);
    else
        RemovePropW(window, SourceProperty);
}

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam) {
    // The object id comes as a 32-bit value in a wider parameter.
    if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT || !SourceOf(window))
        return 0;
    IAccessible* system = nullptr;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, AccessibleIid,
                                         reinterpret_cast<void**>(&system))))
        system = nullptr;
    auto* object = new ClientObject(window, system);
    const LRESULT result = LresultFromObject(AccessibleIid, wParam, object);
    object->Release();
    return result;
}

void NotifyAccessibleFocus(HWND window, LONG childId) {
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, childId);
}

void NotifyAccessibleNameChange(HWND window, LONG childId) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, childId);
}

} // namespace win32
