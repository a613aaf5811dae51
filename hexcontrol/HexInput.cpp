// Keys, mouse and wheel of the hex view, as transitions of the model's state.
#include "hexcontrol/HexModel.h"

#include <algorithm>
#include <cstdlib>

namespace {
bool Has(HexShiftState s, unsigned flag) {
    return (s & flag) != 0;
}
constexpr unsigned KeyModifiers = hsShift | hsAlt | hsCtrl;
} // namespace

// ---- keys -------------------------------------------------------------------------------------

void HexModel::KeyLeft(HexShiftState shift, bool backspace) {
    const HexLayout& l = m_layout;
    if (Has(shift, hsCtrl)) {
        if (!backspace)
            MoveTo(kFirstDataCol, m_cursor.Row);
        return;
    }
    const int at = CursorPosition();
    if (m_extending && m_shiftDown) {
        const int unit = l.BytesPerUnit();
        int p = std::max(0, at - unit);
        if (CursorField() == HexField::Hex)
            p -= p % unit;
        MoveToPosition(p, CursorField());
        return;
    }
    if (CursorField() == HexField::Hex) {
        if (l.IsSecondDigit(m_cursor.Col))
            MoveTo(m_cursor.Col - 1, m_cursor.Row);
        else if (at > 0)
            MoveToPosition(at - 1, HexField::Hex, true);
    } else if (at > 0) {
        MoveToPosition(at - 1, HexField::Char);
    }
}

void HexModel::KeyRight(HexShiftState shift) {
    const HexLayout& l = m_layout;
    if (Has(shift, hsCtrl)) {
        MoveTo(l.LastCharCol(), m_cursor.Row);
        return;
    }
    const int at = CursorPosition();
    const int last = DataSize() - 1;
    if (m_extending && m_shiftDown) {
        const int unit = l.BytesPerUnit();
        int p = std::min(std::max(last, 0), at + unit);
        if (CursorField() == HexField::Hex)
            p -= p % unit;
        MoveToPosition(p, CursorField());
        return;
    }
    if (CursorField() == HexField::Hex) {
        if (!l.IsSecondDigit(m_cursor.Col))
            MoveTo(m_cursor.Col + 1, m_cursor.Row);
        else if (at < last)
            MoveToPosition(at + 1, HexField::Hex);
    } else if (at < last) {
        MoveToPosition(at + 1, HexField::Char);
    }
}

void HexModel::KeyDown(int key, HexShiftState shift) {
    const HexLayout& l = m_layout;
    m_shiftDown = Has(shift, hsShift);
    m_leftDown = Has(shift, hsLeft);
    const bool ctrl = Has(shift, hsCtrl);
    const bool ctrlAlone = (shift & KeyModifiers) == hsCtrl;
    if ((shift & KeyModifiers) == 0)
        ClearSelection();
    const int row = m_cursor.Row;
    const HexField field = CursorField();
    const int firstCol = field == HexField::Char ? l.FirstCharCol() : kFirstDataCol;
    switch (key) {
    case hexkey::Shift:
        m_extending = true;
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
            MoveTo(m_cursor.Col, row - 1);
        break;
    case hexkey::Down:
        if (!ctrl && row < l.RowCount() - 1)
            MoveTo(m_cursor.Col, row + 1);
        break;
    case hexkey::Prior:
        if (ctrl) {
            MoveTo(m_cursor.Col, m_topRow);
        } else {
            const int step = VisibleRowCount() - 1;
            m_topRow = std::clamp(m_topRow - step, kFirstDataRow, MaxTopRow());
            MoveTo(m_cursor.Col, std::max(kFirstDataRow, row - step));
        }
        break;
    case hexkey::Next:
        if (ctrl) {
            MoveTo(m_cursor.Col, m_topRow + VisibleRowCount() - 1);
        } else {
            const int step = VisibleRowCount() - 1;
            m_topRow = std::clamp(m_topRow + step, kFirstDataRow, MaxTopRow());
            MoveTo(m_cursor.Col, std::min(l.RowCount() - 1, row + step));
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
            const int rowLast =
                std::min((row - kFirstDataRow) * l.BytesPerRow() + l.BytesPerRow(), DataSize()) - 1;
            MoveToPosition(rowLast, field, true);
        }
        break;
    case hexkey::Tab:
        if (WantTabs && (shift & (hsCtrl | hsAlt)) == 0)
            MoveTo(l.TwinColumn(m_cursor.Col), row);
        break;
    case 'T':
        if (ctrl)
            MoveTo(l.TwinColumn(m_cursor.Col), row);
        break;
    case 'C':
        if (ctrlAlone && SelectionCount() > 0)
            m_host->HexCopyRequested();
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
    m_shiftDown = Has(shift, hsShift) && key != hexkey::Shift;
}

// ---- mouse ------------------------------------------------------------------------------------

void HexModel::MouseDown(HexMouseButton button, HexShiftState shift, int x, int y) {
    m_extending = false;
    m_resetOnRelease = false;
    m_mouseSelecting = false;
    m_dragPending = false;
    m_shiftDown = Has(shift, hsShift);
    m_leftDown = Has(shift, hsLeft);
    if (button == HexMouseButton::Right) {
        m_host->HexTakeFocus();
        m_host->HexPopupMenu(x, y);
        return;
    }
    if (button != HexMouseButton::Left)
        return;
    const HexCell cell = MouseToCell(x, y);
    // The spacer between the fields belongs to the data area: a press there goes to the last
    // hex digit of its row (the move routine's rule for the left button).
    const bool dataCell = cell.Col >= 0 && cell.Row >= kFirstDataRow && cell.Col >= kFirstDataCol;
    const bool onByte = dataCell && cell.Col != m_layout.SpacerCol() &&
                        m_layout.PositionOfCell(cell.Col, cell.Row) < DataSize();
    const bool onSelected = onByte && IsSelected(m_layout.PositionOfCell(cell.Col, cell.Row));
    const bool isDouble = Has(shift, hsDouble);
    if (!onSelected && dataCell)
        MoveTo(cell.Col, cell.Row);
    m_host->HexTakeFocus();
    if (dataCell && !onSelected) {
        ClearSelection();
        if (!isDouble) {
            m_extending = true;
            m_mouseSelecting = true;
        }
    } else if (onSelected) {
        m_resetOnRelease = true;
        m_resetCell = cell;
        if (OleDragDrop && !isDouble) {
            m_dragPending = true;
            m_pressX = x;
            m_pressY = y;
        }
    }
    if (isDouble) {
        m_resetOnRelease = false;
        m_dragPending = false;
        if (onByte) {
            const int unit = m_layout.BytesPerUnit();
            int p = m_layout.PositionOfCell(cell.Col, cell.Row);
            p -= p % unit;
            Select(p, ClampPosition(p + unit - 1), p);
            Notify();
        }
    }
}

bool HexModel::MouseMove(HexShiftState shift, int x, int y) {
    m_shiftDown = Has(shift, hsShift);
    m_leftDown = Has(shift, hsLeft);
    if (!m_leftDown)
        return false;
    const HexCell cell = MouseToCell(x, y);
    if (m_resetOnRelease && cell != m_resetCell)
        m_resetOnRelease = false;
    if (m_dragPending &&
        (std::abs(x - m_pressX) >= DragThreshold || std::abs(y - m_pressY) >= DragThreshold)) {
        m_dragPending = false;
        m_resetOnRelease = false;
        return true;
    }
    if (m_mouseSelecting && cell.Col >= kFirstDataCol && cell.Row >= kFirstDataRow && cell != m_cursor &&
        CellVisible(cell.Col, cell.Row))
        MoveTo(cell.Col, cell.Row);
    return false;
}

void HexModel::MouseUp(HexMouseButton button, HexShiftState shift, int x, int y) {
    m_shiftDown = Has(shift, hsShift);
    m_leftDown = false;
    if (button != HexMouseButton::Left)
        return;
    m_mouseSelecting = false;
    m_dragPending = false;
    if (m_resetOnRelease) {
        m_resetOnRelease = false;
        ClearSelection();
        const HexCell cell = MouseToCell(x, y);
        if (cell.Col >= 0)
            MoveTo(cell.Col, cell.Row);
    }
}

void HexModel::DragScrollTick(HexShiftState shift, int x, int y) {
    m_shiftDown = Has(shift, hsShift);
    m_leftDown = true;
    if (!m_mouseSelecting)
        return;
    const HexLayout& l = m_layout;
    // The pointer may be anywhere on the screen while the mouse is captured.
    const int cx = std::clamp(x, 0, std::max(0, m_clientWidth - 1));
    const int cy = std::clamp(y, 0, std::max(0, m_clientHeight - 1));
    const HexCell cell = MouseToCell(cx, cy);
    int row = cell.Row, col = cell.Col;
    // Beyond the fully visible cells the grid scrolls one cell towards the pointer per tick.
    if (y < l.RulerHeight())
        row = m_topRow > kFirstDataRow ? m_topRow - 1 : m_topRow;
    else if (y >= l.RulerHeight() + PageRows() * l.CharHeight())
        row = std::min(m_topRow + VisibleRowCount(), l.RowCount() - 1);
    if (x < l.FixedWidth()) {
        col = m_leftCol > kFirstDataCol ? m_leftCol - 1 : m_leftCol;
    } else if (x >= m_clientWidth || (col >= 0 && !ColFullyVisible(col))) {
        int c = m_leftCol;
        while (c + 1 < l.ColCount() && ColFullyVisible(c + 1))
            ++c;
        col = std::min(c + 1, l.ColCount() - 1);
    }
    if (row < kFirstDataRow || col < kFirstDataCol)
        return;
    if (CellVisible(col, row) && cell == HexCell{col, row})
        return; // inside the view: mouse moves do the work
    if (HexCell{col, row} != m_cursor)
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
    if (cell.Col != m_layout.SpacerCol() && IsSelected(m_layout.PositionOfCell(cell.Col, cell.Row)) &&
        m_layout.PositionOfCell(cell.Col, cell.Row) < DataSize())
        return HexPointer::Arrow;
    return HexPointer::IBeam;
}

void HexModel::EndDrag() {
    m_dragPending = false;
    DragOverEnded();
}

void HexModel::DragOverAt(int x, int y) {
    const HexLayout& l = m_layout;
    // The pointer cell, clamped to the data area.
    int col = ColAt(std::clamp(x, l.FixedWidth(), std::max(l.FixedWidth(), m_clientWidth - 1)));
    if (col < 0)
        col = l.LastCharCol();
    if (col == l.SpacerCol())
        col = l.LastHexCol();
    int row = RowAt(std::clamp(y, l.RulerHeight(), std::max(l.RulerHeight(), m_clientHeight - 1)));
    if (row < 0)
        row = l.RowCount() - 1;
    const HexField field = l.FieldOfCol(col);

    int p = std::min(l.PositionOfCell(col, row), std::max(0, DataSize() - 1));
    if (IsSelected(p))
        p = m_selStart;
    p -= p % l.BytesPerUnit();

    // At the edges of the view the view scrolls one row or column towards the pointer.
    if (row == m_topRow && row > kFirstDataRow)
        SetTopRow(m_topRow - 1);
    else if (row >= m_topRow + VisibleRowCount() - 1 && row < l.RowCount() - 1)
        SetTopRow(m_topRow + 1);
    int lastCol = m_leftCol;
    while (lastCol + 1 < l.ColCount() && ColFullyVisible(lastCol + 1))
        ++lastCol;
    if (col == m_leftCol && col > kFirstDataCol)
        SetLeftCol(m_leftCol - 1);
    else if (col >= lastCol && col < l.ColCount() - 1)
        SetLeftCol(m_leftCol + 1);

    const HexCell cell = l.CellOfPosition(p, field);
    if (cell != m_dropCell) {
        m_dropCell = cell;
        m_host->HexRepaint();
    }
}

void HexModel::DragOverEnded() {
    if (m_dropCell == HexCell{-1, -1})
        return;
    m_dropCell = {-1, -1};
    m_host->HexRepaint();
}

void HexModel::FocusLost() {
    m_extending = false;
    m_mouseSelecting = false;
}

// ---- wheel ------------------------------------------------------------------------------------

void HexModel::WheelMoveCursor(bool towardsUser) {
    if (towardsUser) {
        if (m_cursor.Row < m_layout.RowCount() - 1)
            MoveTo(m_cursor.Col, m_cursor.Row + 1);
    } else if (m_cursor.Row > kFirstDataRow) {
        MoveTo(m_cursor.Col, m_cursor.Row - 1);
    }
}

void HexModel::MouseWheel(HexShiftState shift, int delta) {
    m_shiftDown = Has(shift, hsShift);
    m_leftDown = Has(shift, hsLeft);
    const bool towards = delta < 0;
    const int notches = std::max(1, std::abs(delta) / 120);
    const HexShiftState mods = shift & (KeyModifiers | hsLeft | hsRight | hsMiddle);
    for (int i = 0; i < notches; ++i) {
        if (ZoomOnWheel && mods == hsCtrl) {
            const int b = m_layout.BytesPerRow();
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
                m_host->HexFontSizeChanged();
                continue;
            }
        } else if (mods == 0) {
            const int vis = VisibleRowCount();
            const int top =
                towards ? std::min(m_topRow + vis - 1, std::max(kFirstDataRow, m_layout.RowCount() - vis))
                        : std::max(kFirstDataRow, m_topRow - vis + 1);
            SetTopRow(top);
            m_host->HexViewMoved();
            continue;
        }
        WheelMoveCursor(towards);
    }
}
