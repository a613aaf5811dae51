// Keys, mouse and wheel of the hex view, as transitions of the model's state.
#include "hexcontrol/HexModel.h"

#include <algorithm>
#include <cstdlib>

namespace quennet {

namespace {
bool Has(HexShiftState s, unsigned flag) {
    return (s & flag) != 0;
}
constexpr unsigned KeyModifiers = hsShift | hsAlt | hsCtrl;
} // namespace

// ---- keys -------------------------------------------------------------------------------------

void HexModel::KeyLeft(HexShiftState shift, bool backspace) {
    const HexLayout& l = layout_;
    if (Has(shift, hsCtrl)) {
        if (!backspace)
            MoveTo(kFirstDataCol, cursor_.Row);
        return;
    }
    const HexPos at = CursorPosition();
    if (extending_ && shiftDown_) {
        const int unit = l.BytesPerUnit();
        HexPos p = std::max<HexPos>(0, at - unit);
        if (CursorField() == HexField::Hex)
            p -= p % unit;
        MoveToPosition(p, CursorField());
        return;
    }
    if (CursorField() == HexField::Hex) {
        if (l.IsSecondDigit(cursor_.Col))
            MoveTo(cursor_.Col - 1, cursor_.Row);
        else if (at > 0)
            MoveToPosition(at - 1, HexField::Hex, true);
    } else if (at > 0) {
        MoveToPosition(at - 1, HexField::Char);
    }
}

void HexModel::KeyRight(HexShiftState shift) {
    const HexLayout& l = layout_;
    if (Has(shift, hsCtrl)) {
        MoveTo(l.LastCharCol(), cursor_.Row);
        return;
    }
    const HexPos at = CursorPosition();
    const HexPos last = DataSize() - 1;
    if (extending_ && shiftDown_) {
        const int unit = l.BytesPerUnit();
        HexPos p = std::min<HexPos>(std::max<HexPos>(last, 0), at + unit);
        if (CursorField() == HexField::Hex)
            p -= p % unit;
        MoveToPosition(p, CursorField());
        return;
    }
    if (CursorField() == HexField::Hex) {
        if (!l.IsSecondDigit(cursor_.Col))
            MoveTo(cursor_.Col + 1, cursor_.Row);
        else if (at < last)
            MoveToPosition(at + 1, HexField::Hex);
    } else if (at < last) {
        MoveToPosition(at + 1, HexField::Char);
    }
}

void HexModel::KeyDown(int key, HexShiftState shift) {
    const HexLayout& l = layout_;
    shiftDown_ = Has(shift, hsShift);
    leftDown_ = Has(shift, hsLeft);
    const bool ctrl = Has(shift, hsCtrl);
    const bool ctrlAlone = (shift & KeyModifiers) == hsCtrl;
    if ((shift & KeyModifiers) == 0)
        ClearSelection();
    const HexPos row = cursor_.Row;
    const HexField field = CursorField();
    const int firstCol = field == HexField::Char ? l.FirstCharCol() : kFirstDataCol;
    switch (key) {
    case hexkey::Shift:
        extending_ = true;
        break;
    case hexkey::Left:
        KeyLeft(shift, false);
        break;
    case hexkey::Back:
        // The read-only view has nothing to delete: Backspace moves like Left.
        if (ReadOnlyView)
            KeyLeft(shift, true);
        break;
    case hexkey::Right:
        KeyRight(shift);
        break;
    case hexkey::Up:
        if (!ctrl && row > kFirstDataRow)
            MoveTo(cursor_.Col, row - 1);
        break;
    case hexkey::Down:
        if (!ctrl && row < l.RowCount() - 1)
            MoveTo(cursor_.Col, row + 1);
        break;
    case hexkey::Prior:
        if (ctrl) {
            MoveTo(cursor_.Col, topRow_);
        } else {
            const int step = VisibleRowCount() - 1;
            topRow_ = std::clamp<HexPos>(topRow_ - step, kFirstDataRow, MaxTopRow());
            MoveTo(cursor_.Col, std::max<HexPos>(kFirstDataRow, row - step));
        }
        break;
    case hexkey::Next:
        if (ctrl) {
            MoveTo(cursor_.Col, topRow_ + VisibleRowCount() - 1);
        } else {
            const int step = VisibleRowCount() - 1;
            topRow_ = std::clamp<HexPos>(topRow_ + step, kFirstDataRow, MaxTopRow());
            MoveTo(cursor_.Col, std::min(l.RowCount() - 1, row + step));
        }
        break;
    case hexkey::Home:
        MoveTo(firstCol, ctrl ? kFirstDataRow : row);
        break;
    case hexkey::End:
        if (DataSize() == 0) {
            MoveTo(firstCol, kFirstDataRow);
        } else if (ctrl) {
            MoveToPosition(DataSize() - 1, field);
        } else {
            const HexPos rowLast =
                std::min<HexPos>((row - kFirstDataRow) * l.BytesPerRow() + l.BytesPerRow(), DataSize()) - 1;
            MoveToPosition(rowLast, field, true);
        }
        break;
    case hexkey::Tab:
        if (WantTabs && (shift & (hsCtrl | hsAlt)) == 0)
            MoveTo(l.TwinColumn(cursor_.Col), row);
        break;
    case 'T':
        if (ctrl)
            MoveTo(l.TwinColumn(cursor_.Col), row);
        break;
    case 'C':
        if (ctrlAlone && SelectionCount() > 0)
            host_->HexCopyRequested();
        break;
    case 'A':
        if (ctrlAlone)
            SelectAllData();
        break;
    default:
        if (ctrl && key >= '0' && key <= '9') {
            if (Has(shift, hsShift))
                ToggleBookmark(key - '0');
            else
                GotoBookmark(key - '0');
        }
        // Typing, Insert, Delete, paste, cut and undo change nothing in the read-only view.
        break;
    }
}

void HexModel::KeyUp(int key, HexShiftState shift) {
    shiftDown_ = Has(shift, hsShift) && key != hexkey::Shift;
}

// ---- mouse ------------------------------------------------------------------------------------

void HexModel::MouseDown(HexMouseButton button, HexShiftState shift, int x, int y) {
    extending_ = false;
    resetOnRelease_ = false;
    mouseSelecting_ = false;
    dragPending_ = false;
    shiftDown_ = Has(shift, hsShift);
    leftDown_ = Has(shift, hsLeft);
    if (button == HexMouseButton::Right) {
        host_->HexTakeFocus();
        host_->HexPopupMenu(x, y);
        return;
    }
    if (button != HexMouseButton::Left)
        return;
    const HexCell cell = MouseToCell(x, y);
    // The spacer between the fields belongs to the data area: a press there goes to the last
    // hex digit of its row (the move routine's rule for the left button).
    const bool dataCell = cell.Col >= 0 && cell.Row >= kFirstDataRow && cell.Col >= kFirstDataCol;
    const bool onByte = dataCell && cell.Col != layout_.SpacerCol() &&
                        layout_.PositionOfCell(cell.Col, cell.Row) < DataSize();
    const bool onSelected = onByte && IsSelected(layout_.PositionOfCell(cell.Col, cell.Row));
    const bool isDouble = Has(shift, hsDouble);
    if (!onSelected && dataCell)
        MoveTo(cell.Col, cell.Row);
    host_->HexTakeFocus();
    if (dataCell && !onSelected) {
        ClearSelection();
        if (!isDouble) {
            extending_ = true;
            mouseSelecting_ = true;
        }
    } else if (onSelected) {
        resetOnRelease_ = true;
        resetCell_ = cell;
        if (OleDragDrop && !isDouble) {
            dragPending_ = true;
            pressX_ = x;
            pressY_ = y;
        }
    }
    if (isDouble) {
        resetOnRelease_ = false;
        dragPending_ = false;
        if (onByte) {
            const int unit = layout_.BytesPerUnit();
            HexPos p = layout_.PositionOfCell(cell.Col, cell.Row);
            p -= p % unit;
            Select(p, ClampPosition(p + unit - 1), p);
            Notify();
        }
    }
}

bool HexModel::MouseMove(HexShiftState shift, int x, int y) {
    shiftDown_ = Has(shift, hsShift);
    leftDown_ = Has(shift, hsLeft);
    if (!leftDown_)
        return false;
    const HexCell cell = MouseToCell(x, y);
    if (resetOnRelease_ && cell != resetCell_)
        resetOnRelease_ = false;
    if (dragPending_ && (std::abs(x - pressX_) >= DragThreshold || std::abs(y - pressY_) >= DragThreshold)) {
        dragPending_ = false;
        resetOnRelease_ = false;
        return true;
    }
    if (mouseSelecting_ && cell.Col >= kFirstDataCol && cell.Row >= kFirstDataRow && cell != cursor_ &&
        CellVisible(cell.Col, cell.Row))
        MoveTo(cell.Col, cell.Row);
    return false;
}

void HexModel::MouseUp(HexMouseButton button, HexShiftState shift, int x, int y) {
    shiftDown_ = Has(shift, hsShift);
    leftDown_ = false;
    if (button != HexMouseButton::Left)
        return;
    mouseSelecting_ = false;
    dragPending_ = false;
    if (resetOnRelease_) {
        resetOnRelease_ = false;
        ClearSelection();
        const HexCell cell = MouseToCell(x, y);
        if (cell.Col >= 0)
            MoveTo(cell.Col, cell.Row);
    }
}

void HexModel::DragScrollTick(HexShiftState shift, int x, int y) {
    shiftDown_ = Has(shift, hsShift);
    leftDown_ = true;
    if (!mouseSelecting_)
        return;
    const HexLayout& l = layout_;
    // The pointer may be anywhere on the screen while the mouse is captured.
    const int cx = std::clamp(x, 0, std::max(0, clientWidth_ - 1));
    const int cy = std::clamp(y, 0, std::max(0, clientHeight_ - 1));
    const HexCell cell = MouseToCell(cx, cy);
    HexPos row = cell.Row;
    int col = cell.Col;
    // Beyond the fully visible cells the grid scrolls one cell towards the pointer per tick.
    if (y < l.RulerHeight())
        row = topRow_ > kFirstDataRow ? topRow_ - 1 : topRow_;
    else if (y >= l.RulerHeight() + PageRows() * l.CharHeight())
        row = std::min<HexPos>(topRow_ + VisibleRowCount(), l.RowCount() - 1);
    if (x < l.FixedWidth()) {
        col = leftCol_ > kFirstDataCol ? leftCol_ - 1 : leftCol_;
    } else if (x >= clientWidth_ || (col >= 0 && !ColFullyVisible(col))) {
        int c = leftCol_;
        while (c + 1 < l.ColCount() && ColFullyVisible(c + 1))
            ++c;
        col = std::min(c + 1, l.ColCount() - 1);
    }
    if (row < kFirstDataRow || col < kFirstDataCol)
        return;
    if (CellVisible(col, row) && cell == HexCell{col, row})
        return; // inside the view: mouse moves do the work
    if (HexCell{col, row} != cursor_)
        MoveTo(col, row);
}

HexPointer HexModel::PointerAt(HexShiftState shift, int x, int y) const {
    if ((shift & (KeyModifiers | hsLeft | hsRight | hsMiddle)) != 0)
        return HexPointer::IBeam;
    const HexCell cell = MouseToCell(x, y);
    if (cell.Col < 0)
        return HexPointer::IBeam;
    if (cell.Col < kFirstDataCol || cell.Row < kFirstDataRow)
        return HexPointer::Arrow;
    if (cell.Col != layout_.SpacerCol() && IsSelected(layout_.PositionOfCell(cell.Col, cell.Row)) &&
        layout_.PositionOfCell(cell.Col, cell.Row) < DataSize())
        return HexPointer::Arrow;
    return HexPointer::IBeam;
}

void HexModel::EndDrag() {
    dragPending_ = false;
    DragOverEnded();
}

void HexModel::DragOverAt(int x, int y) {
    const HexLayout& l = layout_;
    // The pointer cell, clamped to the data area.
    int col = ColAt(std::clamp(x, l.FixedWidth(), std::max(l.FixedWidth(), clientWidth_ - 1)));
    if (col < 0)
        col = l.LastCharCol();
    if (col == l.SpacerCol())
        col = l.LastHexCol();
    HexPos row = RowAt(std::clamp(y, l.RulerHeight(), std::max(l.RulerHeight(), clientHeight_ - 1)));
    if (row < 0)
        row = l.RowCount() - 1;
    const HexField field = l.FieldOfCol(col);

    HexPos p = std::min<HexPos>(l.PositionOfCell(col, row), std::max<HexPos>(0, DataSize() - 1));
    if (IsSelected(p))
        p = selStart_;
    p -= p % l.BytesPerUnit();

    // At the edges of the view the view scrolls one row or column towards the pointer.
    if (row == topRow_ && row > kFirstDataRow)
        SetTopRow(topRow_ - 1);
    else if (row >= topRow_ + VisibleRowCount() - 1 && row < l.RowCount() - 1)
        SetTopRow(topRow_ + 1);
    int lastCol = leftCol_;
    while (lastCol + 1 < l.ColCount() && ColFullyVisible(lastCol + 1))
        ++lastCol;
    if (col == leftCol_ && col > kFirstDataCol)
        SetLeftCol(leftCol_ - 1);
    else if (col >= lastCol && col < l.ColCount() - 1)
        SetLeftCol(leftCol_ + 1);

    const HexCell cell = l.CellOfPosition(p, field);
    if (cell != dropCell_) {
        dropCell_ = cell;
        host_->HexRepaint();
    }
}

void HexModel::DragOverEnded() {
    if (dropCell_ == HexCell{-1, -1})
        return;
    dropCell_ = {-1, -1};
    host_->HexRepaint();
}

void HexModel::FocusLost() {
    extending_ = false;
    mouseSelecting_ = false;
}

// ---- wheel ------------------------------------------------------------------------------------

void HexModel::WheelMoveCursor(bool towardsUser) {
    if (towardsUser) {
        if (cursor_.Row < layout_.RowCount() - 1)
            MoveTo(cursor_.Col, cursor_.Row + 1);
    } else if (cursor_.Row > kFirstDataRow) {
        MoveTo(cursor_.Col, cursor_.Row - 1);
    }
}

void HexModel::MouseWheel(HexShiftState shift, int delta) {
    shiftDown_ = Has(shift, hsShift);
    leftDown_ = Has(shift, hsLeft);
    // Deltas add up and each whole notch acts once: a touchpad's small deltas make a notch
    // only together, and what is left over waits for the next message.
    wheelDelta_ += delta;
    const bool towards = wheelDelta_ < 0;
    const int notches = std::abs(wheelDelta_) / kWheelNotch;
    wheelDelta_ %= kWheelNotch;
    const HexShiftState mods = shift & (KeyModifiers | hsLeft | hsRight | hsMiddle);
    for (int i = 0; i < notches; ++i) {
        if (ZoomOnWheel && mods == hsCtrl) {
            const int b = layout_.BytesPerRow();
            if (towards && b > 1) {
                SetBytesPerRow(b - 1);
                continue;
            }
            if (!towards && b < 256) {
                SetBytesPerRow(b + 1);
                continue;
            }
        } else if (ZoomOnWheel && mods == (hsCtrl | hsShift)) {
            if (!towards || FontSize >= 3) {
                FontSize += towards ? -1 : 1;
                host_->HexFontSizeChanged();
                continue;
            }
        } else if (mods == 0) {
            const int vis = VisibleRowCount();
            const HexPos top =
                towards ? std::min<HexPos>(topRow_ + vis - 1, std::max<HexPos>(kFirstDataRow, layout_.RowCount() - vis))
                        : std::max<HexPos>(kFirstDataRow, topRow_ - vis + 1);
            SetTopRow(top);
            host_->HexViewMoved();
            continue;
        }
        WheelMoveCursor(towards);
    }
}

} // namespace quennet
