#include "Accessible.h"

#include <atomic>

const IID AfxIID_IAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

namespace {

bool IsSelf(const VARIANT& v)
{
    return v.vt == VT_I4 && v.lVal == CHILDID_SELF;
}

BSTR ToBstr(const CString& text)
{
    return ::SysAllocString(AfxToWide(text).c_str());
}

CString WindowText(HWND hWnd)
{
    const int n = ::GetWindowTextLengthW(hWnd);
    std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
    const int got = ::GetWindowTextW(hWnd, &buf[0], n + 1);
    return AfxFromWide(buf.c_str(), got);
}

void SetI4(VARIANT* v, LONG value)
{
    v->vt = VT_I4;
    v->lVal = value;
}

// What both objects share: COM identity, the reference count, IOleWindow (how
// WindowFromAccessibleObject finds the window) and a late-bound IDispatch that nobody uses.
class AccessibleBase : public IAccessible, public IOleWindow {
public:
    explicit AccessibleBase(HWND hWnd) : m_hWnd(hWnd) {}
    virtual ~AccessibleBase() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (::IsEqualIID(riid, __uuidof(IUnknown)) || ::IsEqualIID(riid, __uuidof(IDispatch)) ||
            ::IsEqualIID(riid, AfxIID_IAccessible)) {
            *ppv = static_cast<IAccessible*>(this);
        } else if (::IsEqualIID(riid, __uuidof(IOleWindow))) {
            *ppv = static_cast<IOleWindow*>(this);
        } else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = --m_refs;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override
    {
        if (pctinfo)
            *pctinfo = 0;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override
    {
        if (ppTInfo)
            *ppTInfo = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override
    {
        if (!phwnd)
            return E_POINTER;
        *phwnd = m_hWnd;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

protected:
    // A reader may keep the object after the window has gone (and its owner with it).
    bool Alive() const { return ::IsWindow(m_hWnd) != FALSE; }

    HWND m_hWnd;

private:
    std::atomic<LONG> m_refs{1};
};

// The system's client object of a control with the program's name and role. Everything else
// (state, place, focus, the parent...) is the system's own answer.
class ControlAccessible final : public AccessibleBase {
public:
    ControlAccessible(HWND hWnd, IAccessible* pStd, const CString& name, long role)
        : AccessibleBase(hWnd), m_pStd(pStd), m_name(name), m_role(role)
    {
    }
    ~ControlAccessible() override { m_pStd->Release(); }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT varChild, BSTR* pszName) override
    {
        if (!IsSelf(varChild))
            return Alive() ? m_pStd->get_accName(varChild, pszName) : CO_E_OBJNOTCONNECTED;
        if (!pszName)
            return E_POINTER;
        *pszName = nullptr;
        if (!Alive())
            return CO_E_OBJNOTCONNECTED;
        *pszName = ToBstr(m_name.IsEmpty() ? AfxStripAccelerators(WindowText(m_hWnd)) : m_name);
        return *pszName ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varChild, VARIANT* pvarRole) override
    {
        if (!IsSelf(varChild))
            return Alive() ? m_pStd->get_accRole(varChild, pvarRole) : CO_E_OBJNOTCONNECTED;
        if (!pvarRole)
            return E_POINTER;
        ::VariantInit(pvarRole);
        if (!Alive())
            return CO_E_OBJNOTCONNECTED;
        SetI4(pvarRole, m_role);
        return S_OK;
    }

    // The rest, as the system answers. The window check comes first: the system's object is
    // not promised to cope with a handle that has gone.
#define KELVARO_FORWARD(call) return Alive() ? m_pStd->call : CO_E_OBJNOTCONNECTED
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) override { KELVARO_FORWARD(get_accParent(ppdispParent)); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* pcountChildren) override { KELVARO_FORWARD(get_accChildCount(pcountChildren)); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChild, IDispatch** ppdispChild) override { KELVARO_FORWARD(get_accChild(varChild, ppdispChild)); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varChild, BSTR* pszValue) override { KELVARO_FORWARD(get_accValue(varChild, pszValue)); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT varChild, BSTR* pszDescription) override { KELVARO_FORWARD(get_accDescription(varChild, pszDescription)); }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT varChild, VARIANT* pvarState) override { KELVARO_FORWARD(get_accState(varChild, pvarState)); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT varChild, BSTR* pszHelp) override { KELVARO_FORWARD(get_accHelp(varChild, pszHelp)); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, LONG* pidTopic) override { KELVARO_FORWARD(get_accHelpTopic(pszHelpFile, varChild, pidTopic)); }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) override { KELVARO_FORWARD(get_accKeyboardShortcut(varChild, pszKeyboardShortcut)); }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarChild) override { KELVARO_FORWARD(get_accFocus(pvarChild)); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* pvarChildren) override { KELVARO_FORWARD(get_accSelection(pvarChildren)); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override { KELVARO_FORWARD(get_accDefaultAction(varChild, pszDefaultAction)); }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flagsSelect, VARIANT varChild) override { KELVARO_FORWARD(accSelect(flagsSelect, varChild)); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth, LONG* pcyHeight, VARIANT varChild) override { KELVARO_FORWARD(accLocation(pxLeft, pyTop, pcxWidth, pcyHeight, varChild)); }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG navDir, VARIANT varStart, VARIANT* pvarEndUpAt) override { KELVARO_FORWARD(accNavigate(navDir, varStart, pvarEndUpAt)); }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarChild) override { KELVARO_FORWARD(accHitTest(xLeft, yTop, pvarChild)); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varChild) override { KELVARO_FORWARD(accDoDefaultAction(varChild)); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT varChild, BSTR szName) override { KELVARO_FORWARD(put_accName(varChild, szName)); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT varChild, BSTR szValue) override { KELVARO_FORWARD(put_accValue(varChild, szValue)); }
#undef KELVARO_FORWARD

private:
    IAccessible* m_pStd;  // the system's object for the window's client area; ours to release
    const CString m_name;  // empty: the window's text
    const long m_role;
};

// A painted group of push buttons, asked for its elements at each call.
class ElementsAccessible final : public AccessibleBase {
public:
    ElementsAccessible(HWND hWnd, LONG idObject, AccessibleElementSource source)
        : AccessibleBase(hWnd), m_idObject(idObject), m_source(std::move(source))
    {
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) override
    {
        if (!ppdispParent)
            return E_POINTER;
        *ppdispParent = nullptr;
        if (!Alive())
            return CO_E_OBJNOTCONNECTED;
        return ::AccessibleObjectFromWindow(m_hWnd, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                            reinterpret_cast<void**>(ppdispParent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* pcountChildren) override
    {
        if (!pcountChildren)
            return E_POINTER;
        *pcountChildren = 0;
        if (!Alive())
            return CO_E_OBJNOTCONNECTED;
        *pcountChildren = static_cast<LONG>(m_source().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChild, IDispatch** ppdispChild) override
    {
        if (!ppdispChild)
            return E_POINTER;
        *ppdispChild = nullptr;
        std::vector<AccessibleElement> elements;
        const HRESULT hr = Lookup(varChild, elements, false);
        // Simple elements have no object of their own: the reader asks this one by child id.
        return hr == S_OK ? S_FALSE : hr;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT varChild, BSTR* pszName) override
    {
        if (!pszName)
            return E_POINTER;
        *pszName = nullptr;
        std::vector<AccessibleElement> elements;
        const HRESULT hr = Lookup(varChild, elements, true);
        if (FAILED(hr))
            return hr;
        *pszName = ToBstr(IsSelf(varChild) ? WindowText(m_hWnd) : elements[Index(varChild)].name);
        return *pszName ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varChild, VARIANT* pvarRole) override
    {
        if (!pvarRole)
            return E_POINTER;
        ::VariantInit(pvarRole);
        std::vector<AccessibleElement> elements;
        const HRESULT hr = Lookup(varChild, elements, false);
        if (FAILED(hr))
            return hr;
        if (IsSelf(varChild))
            SetI4(pvarRole, m_idObject == OBJID_TITLEBAR ? ROLE_SYSTEM_TITLEBAR : ROLE_SYSTEM_GROUPING);
        else
            SetI4(pvarRole, ROLE_SYSTEM_PUSHBUTTON);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT varChild, VARIANT* pvarState) override
    {
        if (!pvarState)
            return E_POINTER;
        ::VariantInit(pvarState);
        std::vector<AccessibleElement> elements;
        const HRESULT hr = Lookup(varChild, elements, true);
        if (FAILED(hr))
            return hr;
        bool shown = ::IsWindowVisible(m_hWnd) && !::IsIconic(m_hWnd);
        if (!IsSelf(varChild))
            shown = shown && !::IsRectEmpty(&elements[Index(varChild)].screen);
        SetI4(pvarState, shown ? 0 : STATE_SYSTEM_INVISIBLE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override
    {
        if (!pszDefaultAction)
            return E_POINTER;
        *pszDefaultAction = nullptr;
        std::vector<AccessibleElement> elements;
        const HRESULT hr = Lookup(varChild, elements, false);
        if (FAILED(hr))
            return hr;
        if (IsSelf(varChild))
            return S_FALSE;
        *pszDefaultAction = ToBstr("按下");
        return *pszDefaultAction ? S_OK : E_OUTOFMEMORY;
    }
    // Runs press on the calling thread, which is the window's own (COM brings a reader's
    // calls, from this process or another, to the thread that answered WM_GETOBJECT); a press
    // that posts a message to the window would be safe from any thread.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varChild) override
    {
        std::vector<AccessibleElement> elements;
        const HRESULT hr = Lookup(varChild, elements, true);
        if (FAILED(hr))
            return hr;
        if (IsSelf(varChild))
            return DISP_E_MEMBERNOTFOUND;
        const std::function<void()>& press = elements[Index(varChild)].press;
        if (!press)
            return DISP_E_MEMBERNOTFOUND;
        press();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth, LONG* pcyHeight,
                                          VARIANT varChild) override
    {
        if (!pxLeft || !pyTop || !pcxWidth || !pcyHeight)
            return E_POINTER;
        *pxLeft = *pyTop = *pcxWidth = *pcyHeight = 0;
        std::vector<AccessibleElement> elements;
        const HRESULT hr = Lookup(varChild, elements, true);
        if (FAILED(hr))
            return hr;
        // The group covers its elements: the skin paints nothing else into it that a reader
        // could point at.
        RECT rc = IsSelf(varChild) ? Bounds(elements) : elements[Index(varChild)].screen;
        *pxLeft = rc.left;
        *pyTop = rc.top;
        *pcxWidth = rc.right - rc.left;
        *pcyHeight = rc.bottom - rc.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarChild) override
    {
        if (!pvarChild)
            return E_POINTER;
        ::VariantInit(pvarChild);
        if (!Alive())
            return CO_E_OBJNOTCONNECTED;
        const std::vector<AccessibleElement> elements = m_source();
        const POINT pt = {xLeft, yTop};
        for (size_t i = 0; i < elements.size(); ++i) {
            if (::PtInRect(&elements[i].screen, pt)) {
                SetI4(pvarChild, static_cast<LONG>(i + 1));
                return S_OK;
            }
        }
        const RECT bounds = Bounds(elements);
        if (::PtInRect(&bounds, pt)) {
            SetI4(pvarChild, CHILDID_SELF);
            return S_OK;
        }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG navDir, VARIANT varStart, VARIANT* pvarEndUpAt) override
    {
        if (!pvarEndUpAt)
            return E_POINTER;
        ::VariantInit(pvarEndUpAt);
        std::vector<AccessibleElement> elements;
        const HRESULT hr = Lookup(varStart, elements, true);
        if (FAILED(hr))
            return hr;
        const LONG count = static_cast<LONG>(elements.size());
        LONG to = 0;
        if (IsSelf(varStart)) {
            // The group's own siblings are the window's business, not this object's.
            if (navDir == NAVDIR_FIRSTCHILD)
                to = 1;
            else if (navDir == NAVDIR_LASTCHILD)
                to = count;
        } else if (navDir == NAVDIR_NEXT || navDir == NAVDIR_RIGHT) {
            to = varStart.lVal + 1;
        } else if (navDir == NAVDIR_PREVIOUS || navDir == NAVDIR_LEFT) {
            to = varStart.lVal - 1;
        } else if (navDir < NAVDIR_MIN || navDir > NAVDIR_MAX) {
            return E_INVALIDARG;
        }
        if (to < 1 || to > count)
            return S_FALSE;
        SetI4(pvarEndUpAt, to);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varChild, BSTR* pszValue) override { return Nothing(varChild, pszValue); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT varChild, BSTR* pszDescription) override { return Nothing(varChild, pszDescription); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT varChild, BSTR* pszHelp) override { return Nothing(varChild, pszHelp); }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) override
    {
        return Nothing(varChild, pszKeyboardShortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* pszHelpFile, VARIANT, LONG* pidTopic) override
    {
        if (pszHelpFile)
            *pszHelpFile = nullptr;
        if (pidTopic)
            *pidTopic = -1;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarChild) override
    {
        if (!pvarChild)
            return E_POINTER;
        ::VariantInit(pvarChild);  // VT_EMPTY: the focus is not on any of these
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* pvarChildren) override
    {
        if (!pvarChildren)
            return E_POINTER;
        ::VariantInit(pvarChildren);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    static size_t Index(const VARIANT& child) { return static_cast<size_t>(child.lVal - 1); }

    static RECT Bounds(const std::vector<AccessibleElement>& elements)
    {
        RECT all = {};
        for (const AccessibleElement& e : elements)
            ::UnionRect(&all, &all, &e.screen);
        return all;
    }

    // Checks that child is the group or one of its elements; the elements are fetched when
    // the caller needs them (and always when the count decides).
    HRESULT Lookup(const VARIANT& child, std::vector<AccessibleElement>& elements, bool need) const
    {
        if (!Alive())
            return CO_E_OBJNOTCONNECTED;
        if (child.vt != VT_I4)
            return E_INVALIDARG;
        if (child.lVal == CHILDID_SELF) {
            if (need)
                elements = m_source();
            return S_OK;
        }
        elements = m_source();
        if (child.lVal < 1 || static_cast<size_t>(child.lVal) > elements.size())
            return E_INVALIDARG;
        return S_OK;
    }

    HRESULT Nothing(const VARIANT& child, BSTR* pText) const
    {
        if (!pText)
            return E_POINTER;
        *pText = nullptr;
        std::vector<AccessibleElement> elements;
        const HRESULT hr = Lookup(child, elements, false);
        return FAILED(hr) ? hr : S_FALSE;
    }

    const LONG m_idObject;
    const AccessibleElementSource m_source;
};

}  // namespace

IAccessible* AfxCreateControlAccessible(HWND hWnd, const CString& name, long role)
{
    IAccessible* pStd = nullptr;
    if (FAILED(::CreateStdAccessibleObject(hWnd, OBJID_CLIENT, AfxIID_IAccessible, reinterpret_cast<void**>(&pStd))) ||
        !pStd)
        return nullptr;
    return new ControlAccessible(hWnd, pStd, name, role);
}

IAccessible* AfxCreateElementsAccessible(HWND hWnd, LONG idObject, AccessibleElementSource source)
{
    if (!::IsWindow(hWnd) || !source)
        return nullptr;
    return new ElementsAccessible(hWnd, idObject, std::move(source));
}

LRESULT AfxAccessibleResult(IAccessible* pAcc, WPARAM wParam)
{
    if (!pAcc)
        return 0;
    const LRESULT result = ::LresultFromObject(AfxIID_IAccessible, wParam, pAcc);
    pAcc->Release();
    return result;
}

void AnnounceNameChange(HWND hWnd)
{
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hWnd, OBJID_CLIENT, CHILDID_SELF);
}

CString AfxStripAccelerators(const CString& text)
{
    CString out;
    const char* p = text;
    for (; *p; ++p) {
        if (*p == '&') {
            if (p[1] != '&')
                continue;  // the marker itself; a lone trailing & is dropped the same way
            ++p;
        }
        out += *p;
    }
    return out;
}
