#pragma once
// Everything the hex view does that is not drawing or the platform: the data, the layout, the
// scroll position, the cursor with its move routine, the selection, the bookmarks, and the keys,
// mouse and wheel as state transitions. The window feeds it input and repaints on request.
#include "hexcontrol/HexLayout.h"
#include "hexcontrol/HexMemoryStream.h"
#include "hexcontrol/HexPagedData.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace quennet {

// Modifier and button state of an input event, as the window reads it from the platform.
using HexShiftState = unsigned;
enum : unsigned {
    hsShift = 1,
    hsAlt = 2,
    hsCtrl = 4,
    hsLeft = 8,
    hsRight = 16,
    hsMiddle = 32,
    hsDouble = 64
};

enum class HexMouseButton { Left, Right, Middle };

// Virtual key codes the control reacts to (the platform's values).
namespace hexkey {
constexpr int Back = 0x08, Tab = 0x09, Shift = 0x10, Control = 0x11, Escape = 0x1B, Prior = 0x21, Next = 0x22,
              End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28, Insert = 0x2D,
              Delete = 0x2E;
}

// What the model asks of the window it lives in. Every call has a do-nothing default.
class HexModelHost {
  public:
    virtual ~HexModelHost() = default;
    virtual void HexRepaint() {}
    virtual void HexSelectionChanged() {} // queue one notification
    virtual void HexViewMoved() {}        // scroll position or geometry changed: scroll bars, caret
    virtual void HexCopyRequested() {}    // Ctrl+C with a selection
    virtual void HexFontSizeChanged() {}  // re-measure and call SetCharMetrics
    virtual void HexBookmarkChanged() {}
    virtual void HexTakeFocus() {}
    virtual void HexPopupMenu(int /*x*/, int /*y*/) {}
    // Bytes of the file could not be read (they show as unreadable): text says which and why.
    virtual void HexReadFault(const std::string& /*text*/) {}
};

struct THexBookmark {
    HexPos Position = -1;
    HexField Field = HexField::Hex;
};

enum class HexPointer { Arrow, IBeam };

// The message for a copy or drag of count bytes, past HexModel::ClipboardLimit.
std::string HexSelectionTooLargeText(HexPos count);

class HexModel {
  public:
    static constexpr int DragThreshold = 5;
    // The most a copy or a drag of the selection takes: the bytes are copied whole into the
    // clipboard's formats, several times over when a program asks for them.
    static constexpr HexPos ClipboardLimit = HexPos{64} << 20;

    explicit HexModel(HexModelHost* host = nullptr);
    void SetHost(HexModelHost* host) { host_ = host ? host : &nullHost_; }

    HexLayout& Layout() { return layout_; }
    const HexLayout& Layout() const { return layout_; }
    // The bytes shown: the paged file when one is open, else the buffer in memory.
    const HexData& Data() const { return paged_ ? static_cast<const HexData&>(*paged_) : memory_; }
    HexPos DataSize() const { return Data().Size(); }

    // Settings that are not pure layout.
    bool ReadOnlyView = false;
    bool WantTabs = true;
    bool OleDragDrop = false;
    bool ZoomOnWheel = true;
    int FontSize = 11; // points

    // Layout changes that keep the cursor on its byte (Ctrl with the wheel uses this too).
    void SetBytesPerRow(int value);
    void SetCharMetrics(int charWidth, int charHeight);
    void SetClientSize(int width, int height);
    void RecomputeGrid();

    // Document.
    const std::string& FileName() const { return fileName_; }
    bool HasFile() const { return hasFile_; }
    bool FileIsReadOnly() const { return fileReadOnly_; }
    void SetFileIsReadOnly(bool value) { fileReadOnly_ = value; }
    bool Modified() const { return false; }
    // Empties the document as after construction; a paged file is closed and its pages freed.
    void ResetDocument();
    // Shows the bytes of reader's file, read in pages as they are shown; nothing is read yet.
    void OpenPaged(const std::string& path, std::unique_ptr<HexPageReader> reader);

    // Scroll position.
    HexPos TopRow() const { return topRow_; }
    int LeftCol() const { return leftCol_; }
    void SetTopRow(HexPos row);
    void SetLeftCol(int col);
    HexPos MaxTopRow() const;
    int MaxLeftCol() const;
    int VisibleRowCount() const; // whole data rows shown from the top row
    int PageRows() const;        // whole data rows that fit the client height
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    bool HasClientArea() const { return clientWidth_ > 0 && clientHeight_ > 0; }
    // Left pixel of a column as scrolled now (fixed columns stay put); -1 when scrolled away.
    int ColLeft(int col) const;
    // Top pixel of a row as scrolled now; -1 when scrolled above, past the client's height
    // (not exact) when far below.
    int RowTop(HexPos row) const;
    bool CellVisible(int col, HexPos row) const;
    bool ColFullyVisible(int col) const;
    HexCell MouseToCell(int x, int y) const; // {-1,-1} outside every cell
    int ColAt(int x) const;                  // -1 outside every column
    HexPos RowAt(int y) const;               // -1 outside every row

    // Cursor.
    HexCell Cursor() const { return cursor_; }
    HexPos CursorPosition() const { return layout_.PositionOfCell(cursor_.Col, cursor_.Row); }
    HexField CursorField() const { return layout_.FieldOfCol(cursor_.Col); }
    HexField ActiveField() const { return activeField_; }
    // Makes the active field follow the cursor; true when it changed (the window repaints).
    bool SyncActiveField();
    bool MoveTo(int col, HexPos row);

    // Selection.
    HexPos SelStart() const { return selStart_; }
    HexPos SelEnd() const { return selEnd_; }
    HexPos SelAnchor() const { return selAnchor_; }
    HexPos SelectionCount() const { return selAnchor_ == -1 ? 0 : selEnd_ - selStart_ + 1; }
    bool IsSelected(HexPos position) const {
        return selAnchor_ != -1 && position >= selStart_ && position <= selEnd_;
    }
    bool Extending() const { return extending_; }
    void ClearSelection();
    void SetSelectionStart(HexPos position);
    void SetSelectionEnd(HexPos position);
    void SelectAllData();

    // Bookmarks.
    const THexBookmark& Bookmark(int index) const;
    void ToggleBookmark(int index);
    void GotoBookmark(int index);

    // Input.
    void KeyDown(int key, HexShiftState shift);
    void KeyUp(int key, HexShiftState shift);
    void MouseDown(HexMouseButton button, HexShiftState shift, int x, int y);
    // True when the pointer has moved far enough to start dragging the selection out.
    bool MouseMove(HexShiftState shift, int x, int y);
    void MouseUp(HexMouseButton button, HexShiftState shift, int x, int y);
    // delta as the platform gives it: each whole 120, added up over messages, is one notch.
    void MouseWheel(HexShiftState shift, int delta);
    // One tick of the drag-scroll timer with the pointer at (x, y) in client pixels.
    void DragScrollTick(HexShiftState shift, int x, int y);
    bool MouseSelecting() const { return mouseSelecting_; }
    HexPointer PointerAt(HexShiftState shift, int x, int y) const;
    void FocusLost();
    // Called by the window after a drag loop ended.
    void EndDrag();

    // Something is dragged over the control with the pointer at (x, y) in client pixels: the
    // byte under it becomes the drop position, and the view scrolls at its edges.
    void DragOverAt(int x, int y);
    // The drag left the control or was dropped.
    void DragOverEnded();
    // The cell that carries the drop marker; {-1,-1} while nothing is dragged over the control.
    HexCell DropCell() const { return dropCell_; }

  private:
    void ScrollIntoView(int col, HexPos row);
    void ExtendTo(HexPos position);
    void Notify();
    void Select(HexPos start, HexPos end, HexPos anchor);
    HexPos ClampPosition(HexPos p) const;
    void MoveToPosition(HexPos position, HexField field, bool secondDigit = false);
    void KeyLeft(HexShiftState shift, bool backspace);
    void KeyRight(HexShiftState shift);
    void WheelMoveCursor(bool towardsUser);

    HexModelHost nullHost_;
    HexModelHost* host_;
    HexLayout layout_;
    THexMemoryStream memory_;
    std::unique_ptr<HexPagedData> paged_;
    std::string fileName_ = "Untitled";
    bool hasFile_ = false;
    bool fileReadOnly_ = false;

    int clientWidth_ = 0;
    int clientHeight_ = 0;
    HexPos topRow_ = 2;
    int leftCol_ = 2;
    bool scrollPending_ = false; // the cursor moved while there was no client area

    HexCell cursor_{2, 2};
    HexField activeField_ = HexField::Hex;
    HexPos selStart_ = -1;
    HexPos selEnd_ = -1;
    HexPos selAnchor_ = -1;
    HexPos selBegin_ = -1;
    bool extending_ = false;
    // State of the current input event, read by the move routine.
    bool shiftDown_ = false;
    bool leftDown_ = false;

    bool resetOnRelease_ = false;
    HexCell resetCell_{-1, -1};
    bool mouseSelecting_ = false;
    bool dragPending_ = false;
    int pressX_ = 0;
    int pressY_ = 0;
    HexCell dropCell_{-1, -1};
    static constexpr int kWheelNotch = 120; // the platform's delta of one notch
    int wheelDelta_ = 0;                    // less than a notch, not acted on yet

    std::array<THexBookmark, 10> bookmarks_{};
};

} // namespace quennet
