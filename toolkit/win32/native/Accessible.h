#pragma once

// What a window of ours tells assistive technology (MSAA, which UI Automation reads too), beyond
// what the system's own object for a window says: a role, a name and a value of its own, and the
// windowless controls it draws, each a simple element with a role, a name, a state, a place and a
// default action. The window answers WM_GETOBJECT with AnswerGetObject; the object it hands out
// asks the window's source afresh on every call, so a name is computed when it is read, and an
// object kept beyond the window's life answers that it is gone.

#include <windows.h>

#include <string>
#include <vector>

namespace win32 {

struct AccessibleElement {
    LONG Role = 0; // ROLE_SYSTEM_*
    std::string Name;
    LONG State = 0;            // STATE_SYSTEM_*
    RECT Bounds{};             // in the window's client area
    std::string DefaultAction; // empty: none
};

class AccessibleSource {
public:
    virtual ~AccessibleSource() = default;
    // Of the window itself; 0 or empty leaves the system's.
    virtual LONG AccessibleRole() const { return 0; }
    virtual std::string AccessibleName() const { return {}; }
    virtual std::string AccessibleValue() const { return {}; }
    // The drawn children; child id i + 1 is element i.
    virtual std::vector<AccessibleElement> AccessibleElements() const { return {}; }
    // The element holding the keyboard focus while the window has it; -1: none.
    virtual int FocusedElement() const { return -1; }
    // Does what the element's default action says; it must return at once (the caller is
    // assistive technology waiting for the answer), so it runs the action from the message loop.
    virtual void DoDefaultAction(int) {}
    virtual void FocusElement(int) {}
};

// Registers the window's source (null: none any more); the window must unregister before it
// goes.
void SetAccessibleSource(HWND window, AccessibleSource* source);

// The answer to WM_GETOBJECT: our object for OBJID_CLIENT, 0 (the system's) for anything else.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam);

// Tells assistive technology that an element (child id, CHILDID_SELF for the window) got the
// focus or a new name.
void NotifyAccessibleFocus(HWND window, LONG childId);
void NotifyAccessibleNameChange(HWND window, LONG childId);

} // namespace win32
