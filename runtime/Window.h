// The window base class. A TWinControl owns one HWND and the control objects placed on it;
// messages arrive at named virtual methods (MouseDown, KeyDown, Paint, ...) whose base
// versions raise the matching assignable event (OnMouseDown, OnKeyDown, ...), so a control
// overrides the method for its own behaviour and the window that uses it sets the event.
//
//   class TMyButton : public TWinControl {
//     protected:
//       void CreateParams(TCreateParams& p) override {
//           TWinControl::CreateParams(p);
//           p.ClassName = "TMyButton";
//       }
//       void Paint(HDC dc) override { ... }
//       void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
//           TWinControl::MouseDown(b, s, x, y);   // raises OnMouseDown first
//           ...
//       }
//   };
//   auto& button = form.Add<TMyButton>();        // the form owns and destroys it
//   button.SetBounds(8, 8, 97, 19);
//   button.OnClick = [&](TWinControl&) { ... };
//
// Windows are created when first needed (Handle(), showing the form, or adding a child to
// a window that exists); properties set before that are kept and applied at creation.
// Standard controls (EDIT, BUTTON, list view, ...) are wrapped by setting SystemClass in
// CreateParams: the window is subclassed and gets the same handlers. WM_COMMAND, WM_NOTIFY,
// WM_DRAWITEM, WM_MEASUREITEM and WM_CTLCOLOR* that a parent receives from a child are handed
// back to the child object (HandleCommand, HandleNotify, ...).
#pragma once

#include "runtime/Handles.h"
#include "runtime/Types.h"

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace quennet {

class TWinControl;
class TForm;
class TPopupMenu;

using TNotifyEvent = std::function<void(TWinControl& Sender)>;
using TMouseEvent =
    std::function<void(TWinControl& Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TWinControl& Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TWinControl& Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TWinControl& Sender, char& Key)>;

struct TFont {
    std::string Name = "MS Sans Serif";
    int Size = 8; // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    TColor Color = clWindowText;
    // Ask the font mapper for a fixed-pitch face, which it falls back to when the named one
    // is missing (Wine has no Courier New: the hex view's columns need one).
    bool FixedPitch = false;
};

// Placement that follows the parent's size: docking to a side or filling what is left
// (Align), or keeping the distance to the parent's right and bottom edges (Anchors).
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchorFlag : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

struct TCreateParams {
    std::string ClassName;    // registered by the runtime on first use, unless SystemClass
    bool SystemClass = false; // an existing class (EDIT, BUTTON, ...): subclassed after creation
    UINT ClassStyle = CS_DBLCLKS;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    std::string Caption;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND Parent = nullptr; // the parent window, or a top-level window's owner
};

class TWinControl {
  public:
    TWinControl();
    virtual ~TWinControl();
    TWinControl(const TWinControl&) = delete;
    TWinControl& operator=(const TWinControl&) = delete;

    // --- Child controls, owned by this window ---
    template <class T, class... Args> T& Add(Args&&... args) {
        static_assert(std::is_base_of_v<TWinControl, T>, "Add makes controls");
        auto child = std::make_unique<T>(std::forward<Args>(args)...);
        T& result = *child;
        Adopt(std::move(child));
        return result;
    }
    void Adopt(std::unique_ptr<TWinControl> child);
    void RemoveControl(TWinControl& child); // destroys it
    const std::vector<std::unique_ptr<TWinControl>>& Controls() const { return children_; }
    TWinControl* Parent() const { return parent_; }
    TForm* ParentForm(); // the form this control sits on (itself for a form)

    // --- The window ---
    HWND Handle(); // creates the window (and its parents) when it does not exist yet
    HWND HandleOrNull() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    static TWinControl* FromHandle(HWND window); // nullptr for windows the runtime does not own
    LRESULT Perform(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // --- Geometry, relative to the parent (screen for a top-level form) ---
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int value) { SetBounds(value, Top(), Width(), Height()); }
    void SetTop(int value) { SetBounds(Left(), value, Width(), Height()); }
    void SetWidth(int value) { SetBounds(Left(), Top(), value, Height()); }
    void SetHeight(int value) { SetBounds(Left(), Top(), Width(), value); }
    RECT ClientRect() const;
    void SetAlign(TAlign align);
    TAlign Align() const { return align_; }
    // Any of akLeft | akTop | akRight | akBottom; the distances to the parent's edges are
    // those of the moment the bounds are set (or the window is made).
    void SetAnchors(unsigned anchors);
    unsigned Anchors() const { return anchors_; }
    // Lays out the aligned and anchored children again for the current client size.
    void Realign();
    // Moves and sizes every child (and theirs) from the scale `from` to the scale `to`,
    // anchors' distances included; this window's own bounds stay.
    void ScaleControls(int to, int from);
    // Makes every font of this window and its children again for `dpi`.
    void RecreateFonts(int dpi);
    // Position among the siblings when Tab moves the focus; by default the order of Add.
    void SetTabOrder(int order);
    int TabOrder() const { return tabOrder_; }
    int ClientWidth() const;
    int ClientHeight() const;

    // --- State ---
    std::string Caption() const;
    void SetCaption(const std::string& text);
    std::string Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    bool Visible() const;
    void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const;
    void SetEnabled(bool value);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    bool Focused() const;
    bool CanFocus() const; // visible and enabled, and so are all its parents
    void SetFocus();

    TColor Color() const; // own colour, or the parent's while ParentColor
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    const TFont& Font() const; // own font, or the parent's while ParentFont
    HFONT FontHandle() const;
    void SetFont(const TFont& font);
    bool ParentFont() const { return parentFont_; }
    void SetCursor(HCURSOR cursor) { cursor_ = cursor; } // nullptr: the class cursor (arrow)
    HCURSOR Cursor() const { return cursor_; }
    void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; } // not owned
    bool MouseInControl() const { return mouseInside_; }

    void Invalidate();
    void Repaint(); // paints at once
    void Update();

    // Raises OnClick (and whatever a control adds to a click). Public so code can click.
    virtual void Click();

    // --- Events ---
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // --- Keys the form offers to its controls (see TForm::PreTranslateMessage) ---
    // Enter, Escape, Tab or an arrow the focused control did not ask for; true = handled.
    virtual bool DialogKey(WORD key, TShiftState shift);
    // A character (Alt+letter, or a letter typed on a control that takes no characters)
    // offered to every control as a possible access key; true = handled.
    virtual bool DialogChar(char ch);

  protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void HandleCreated() {} // the window exists; its children not yet
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

    // Own classes only: WM_PAINT (between BeginPaint and EndPaint) and WM_PRINTCLIENT.
    virtual void Paint(HDC dc);
    // Own classes: the background is filled with Color unless the control paints all of it.
    void SetOpaque(bool value) { opaque_ = value; }

    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void DblClick();
    virtual void KeyDown(WORD& key, TShiftState shift); // a key set to 0 goes no further
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key); // a character set to 0 goes no further
    virtual void DoEnter();           // focus received
    virtual void DoExit();            // focus lost
    virtual void EnabledChanged();    // own classes repaint
    virtual void TextChanged();       // own classes repaint
    virtual void FontChanged();       // own classes repaint
    virtual void Resize();

    // WM_GETDLGCODE: the DLGC_* keys the control wants for itself. `standard` is what the
    // class answers (0 for own classes); add DLGC_WANTARROWS, DLGC_WANTALLKEYS, ... to keep
    // arrows or Enter from being used for navigation and dialog keys.
    virtual UINT WantKeys(UINT standard) { return standard; }

    // Notifications of this control's own window, reflected by the parent. true = handled.
    virtual bool HandleCommand(WORD notifyCode);
    virtual bool HandleNotify(NMHDR& header, LRESULT& result);
    virtual bool HandleDrawItem(DRAWITEMSTRUCT& item);
    virtual bool HandleMeasureItem(MEASUREITEMSTRUCT& item);
    virtual HBRUSH HandleCtlColor(HDC dc, UINT message); // nullptr: the class default

    // ControlStyle: click on a left release inside after a press on the control (own
    // classes; standard buttons click through BN_CLICKED instead), and mouse capture while
    // a button is held.
    void SetClickOnRelease(bool value) { clickOnRelease_ = value; }
    void SetCaptureMouse(bool value) { captureMouse_ = value; }

    void DestroyHandle();

    // How far the content is scrolled up (a scroll box): the children's Top stays the
    // unscrolled value while their windows sit this much higher.
    int ScrollOffset() const { return scrollY_; }
    void SetScrollOffset(int y);

    // For standard controls made of several windows (the edit inside a combo box): the
    // inner window's keys, characters and focus changes reach this control's handlers too.
    void ForwardInnerWindow(HWND inner);

  private:
    static LRESULT CALLBACK InnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    friend class TForm;
    static LRESULT CALLBACK OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Dispatch(TWinControl* self, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateHandle();
    void Bind(HWND window);
    void Unbind();
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT MouseButtonMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void TrackMouse(int x, int y);
    void ApplyFontToChildren();
    void RepaintColorFollowers();
    void UpdateStyleBit(DWORD bit, bool on);
    void RecordAnchorMargins();

    HWND handle_ = nullptr;
    bool systemClass_ = false;
    WNDPROC oldProc_ = nullptr;
    int controlId_ = 0;
    TWinControl* parent_ = nullptr;
    std::vector<std::unique_ptr<TWinControl>> children_;

    // Kept while there is no window; the window is the truth afterwards.
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::string caption_;
    bool visible_ = true;
    bool enabled_ = true;
    bool tabStop_ = false;

    TColor color_ = clBtnFace;
    bool parentColor_ = true;
    TFont font_;
    bool parentFont_ = true;
    GdiFont fontHandle_;       // owned only while the control has its own font
    HCURSOR cursor_ = nullptr; // shared cursor, not owned
    TPopupMenu* popupMenu_ = nullptr;
    TAlign align_ = alNone;
    unsigned anchors_ = akLeft | akTop;
    int rightMargin_ = 0, bottomMargin_ = 0; // to the parent's client edges, for anchors
    int tabOrder_ = 0;
    bool realigning_ = false;
    int scrollY_ = 0;

    bool opaque_ = false;
    bool clickOnRelease_ = true;
    bool captureMouse_ = true;
    bool clicked_ = false;
    bool mouseInside_ = false;
};

// Whether `ch` is the access character of `caption` ("&Search" has 's'), ignoring case.
bool IsAccel(char ch, const std::string& caption);

} // namespace quennet
