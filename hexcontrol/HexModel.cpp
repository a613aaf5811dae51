#include "hexcontrol/HexModel.h"

#include "hexcontrol/HexError.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

HexModel::HexModel(HexModelHost* host) : m_host(host ? host : &m_nullHost) {}

// ---- layout and geometry ----------------------------------------------------------------------

void HexModel::RecomputeGrid() {
    m_layout.SetDataSize(m_data.Size());
    m_topRow = std::clamp(m_topRow, kFirstDataRow, MaxTopRow());
    m_leftCol = std::clamp(m_leftCol, kFirstDataCol, MaxLeftCol());
    if (m_cursor.Row >= m_layout.RowCount() || m_cursor.Col >= m_layout.ColCount())
        m_cursor = {kFirstDataCol, kFirstDataRow};
    m_host->HexViewMoved();
    m_host->HexRepaint();
}

void HexModel::SetCharMetrics(int charWidth, int charHeight) {
    m_layout.SetCharMetrics(charWidth, charHeight);
    RecomputeGrid();
}

void HexModel::SetClientSize(int width, int height) {
    m_clientWidth = width;
    m_clientHeight = height;
    RecomputeGrid();
    // The first size after a cursor move that could not scroll (no window yet): the scrolling
    // that move asked for, from where the view stands.
    if (m_scrollPending && HasClientArea()) {
        m_scrollPending = false;
        ScrollIntoView(m_cursor.Col, m_cursor.Row);
    }
}

void HexModel::SetBytesPerRow(int value) {
    if (value < 1 || value > 256)
        throw EHexEditor(hexmsg::BytesPerLine);
    if (value == m_layout.BytesPerRow())
        return;
    const int start = m_selStart, end = m_selEnd, anchor = m_selAnchor;
    const HexField field = CursorField();
    const bool second = m_layout.IsSecondDigit(m_cursor.Col);
    const int byte = CursorPosition();
    m_layout.SetBytesPerRow(value);
    RecomputeGrid();
    m_extending = false;
    MoveToPosition(std::min(byte, DataSize() - 1), field, second);
    auto clamp = [this](int p) { return std::clamp(p, -1, DataSize() - 1); };
    m_selStart = clamp(start);
    m_selEnd = clamp(end);
    m_selAnchor = clamp(anchor);
    Notify();
}

// ---- document ---------------------------------------------------------------------------------

void HexModel::ResetDocument() {
    m_data.Clear();
    m_fileName = "Untitled";
    m_hasFile = false;
    m_fileReadOnly = false;
    m_selStart = m_selEnd = m_selAnchor = m_selBegin = -1;
    m_extending = false;
    m_topRow = kFirstDataRow;
    m_leftCol = kFirstDataCol;
    m_cursor = {kFirstDataCol, kFirstDataRow};
    RecomputeGrid();
}

void HexModel::LoadStream(const std::string& path, std::int64_t size,
                          const std::function<void(std::uint8_t*, int)>& read,
                          const std::function<bool(int)>& progress) {
    m_data.Clear();
    RecomputeGrid();
    try {
        m_data.SetSize(size);
        const std::int64_t total = m_data.Size();
        int lastPercent = -1;
        for (std::int64_t done = 0; done < total;) {
            const std::int64_t left = total - done;
            // The last chunk is always reported, as 100, even when the rounding got there first.
            const bool lastChunk = left <= ChunkSize;
            const int percent = lastChunk ? 100 : static_cast<int>(std::lround(done * 100.0 / total));
            if (lastChunk || percent != lastPercent) {
                lastPercent = percent;
                if (progress && !progress(percent))
                    throw EHexEditor(hexmsg::Cancelled);
            }
            const int n = static_cast<int>(std::min<std::int64_t>(left, ChunkSize));
            read(m_data.WritableBytes(static_cast<int>(done), n), n);
            done += n;
        }
    } catch (...) {
        m_data.Clear();
        m_hasFile = false;
        FinishLoad();
        throw;
    }
    FinishLoad();
    m_fileName = path;
    m_hasFile = true;
}

// What every load ends with, failed or not: the grid for the new size and the cursor on the
// first digit of byte 0, scrolled to the top left.
void HexModel::FinishLoad() {
    m_data.ClearChanged();
    m_extending = false;
    m_topRow = kFirstDataRow;
    m_leftCol = kFirstDataCol;
    RecomputeGrid();
    MoveTo(kFirstDataCol, kFirstDataRow);
}

// ---- scrolling --------------------------------------------------------------------------------

int HexModel::PageRows() const {
    const int h = m_clientHeight - m_layout.RulerHeight();
    return std::max(1, h / m_layout.CharHeight());
}

int HexModel::VisibleRowCount() const {
    return std::max(1, std::min(PageRows(), m_layout.RowCount() - m_topRow));
}

int HexModel::MaxTopRow() const {
    return std::max(kFirstDataRow, m_layout.RowCount() - PageRows());
}

int HexModel::MaxLeftCol() const {
    const int room = m_clientWidth - m_layout.FixedWidth();
    int col = m_layout.ColCount() - 1;
    int used = m_layout.ColWidth(col);
    while (col > kFirstDataCol && used + m_layout.ColWidth(col - 1) <= room) {
        --col;
        used += m_layout.ColWidth(col);
    }
    return col;
}

void HexModel::SetTopRow(int row) {
    row = std::clamp(row, kFirstDataRow, MaxTopRow());
    if (row == m_topRow)
        return;
    m_topRow = row;
    m_host->HexViewMoved();
    m_host->HexRepaint();
}

void HexModel::SetLeftCol(int col) {
    col = std::clamp(col, kFirstDataCol, MaxLeftCol());
    if (col == m_leftCol)
        return;
    m_leftCol = col;
    m_host->HexViewMoved();
    m_host->HexRepaint();
}

int HexModel::ColLeft(int col) const {
    if (col == 0)
        return 0;
    if (col == 1)
        return m_layout.ColWidth(0);
    if (col < m_leftCol)
        return -1;
    int x = m_layout.FixedWidth();
    for (int c = m_leftCol; c < col; ++c)
        x += m_layout.ColWidth(c);
    return x;
}

int HexModel::RowTop(int row) const {
    if (row < kFirstDataRow)
        return row == 0 ? 0 : m_layout.RowHeight(0);
    if (row < m_topRow)
        return -1;
    return m_layout.RulerHeight() + (row - m_topRow) * m_layout.CharHeight();
}

bool HexModel::CellVisible(int col, int row) const {
    const int x = ColLeft(col), y = RowTop(row);
    return x >= 0 && y >= 0 && x + m_layout.ColWidth(col) <= m_clientWidth &&
           y + m_layout.RowHeight(row) <= m_clientHeight;
}

bool HexModel::ColFullyVisible(int col) const {
    const int x = ColLeft(col);
    return x >= 0 && x + m_layout.ColWidth(col) <= m_clientWidth;
}

int HexModel::ColAt(int x) const {
    if (x < 0 || x >= m_clientWidth)
        return -1;
    if (x < m_layout.ColWidth(0))
        return 0;
    if (x < m_layout.FixedWidth())
        return 1;
    int left = m_layout.FixedWidth();
    for (int c = m_leftCol; c < m_layout.ColCount(); ++c) {
        left += m_layout.ColWidth(c);
        if (x < left)
            return c;
    }
    return -1;
}

int HexModel::RowAt(int y) const {
    if (y < 0 || y >= m_clientHeight)
        return -1;
    if (y < m_layout.RowHeight(0))
        return 0;
    if (y < m_layout.RulerHeight())
        return -1;
    const int r = m_topRow + (y - m_layout.RulerHeight()) / m_layout.CharHeight();
    return r < m_layout.RowCount() ? r : -1;
}

HexCell HexModel::MouseToCell(int x, int y) const {
    const int col = ColAt(x), row = RowAt(y);
    if (col < 0 || row < 0)
        return {-1, -1};
    return {col, row};
}

void HexModel::ScrollIntoView(int col, int row) {
    // Without a client area every cell counts as hidden and the least scrolling would be
    // a wrong guess (the cell's row on top, columns scrolled away): wait for the size.
    if (!HasClientArea()) {
        m_scrollPending = true;
        return;
    }
    int top = m_topRow;
    if (row >= kFirstDataRow) {
        if (row < top)
            top = row;
        else if (row >= top + PageRows())
            top = row - PageRows() + 1;
    }
    int left = m_leftCol;
    if (col >= kFirstDataCol) {
        if (col < left) {
            left = col;
        } else {
            const int room = m_clientWidth - m_layout.FixedWidth();
            auto span = [&](int from) {
                int w = 0;
                for (int c = from; c <= col; ++c)
                    w += m_layout.ColWidth(c);
                return w;
            };
            while (left < col && span(left) > room)
                ++left;
        }
    }
    top = std::clamp(top, kFirstDataRow, MaxTopRow());
    left = std::clamp(left, kFirstDataCol, std::max(kFirstDataCol, MaxLeftCol()));
    if (top != m_topRow || left != m_leftCol) {
        m_topRow = top;
        m_leftCol = left;
        m_host->HexViewMoved();
    }
}

// ---- cursor -----------------------------------------------------------------------------------

bool HexModel::SyncActiveField() {
    const HexField field = CursorField();
    if (field == m_activeField)
        return false;
    m_activeField = field;
    return true;
}

void HexModel::Notify() {
    m_host->HexRepaint();
    m_host->HexSelectionChanged();
}

bool HexModel::MoveTo(int col, int row) {
    const HexLayout& l = m_layout;
    if (row < kFirstDataRow || row >= l.RowCount() || col < kFirstDataCol || col >= l.ColCount())
        return false;
    if (col == l.SpacerCol()) {
        if (!m_leftDown)
            return false;
        col = l.LastHexCol();
    }
    const HexField field = l.FieldOfCol(col);
    if (DataSize() == 0) {
        row = kFirstDataRow;
        col = field == HexField::Char ? l.FirstCharCol() : kFirstDataCol;
    } else if (l.PositionOfCell(col, row) >= DataSize()) {
        HexCell last = l.CellOfPosition(DataSize() - 1, field);
        col = last.Col;
        row = last.Row;
    }
    const int before = CursorPosition();
    m_cursor = {col, row};
    ScrollIntoView(col, row);
    if (m_extending && (m_shiftDown || m_leftDown)) {
        if (m_selBegin == -1)
            m_selBegin = before;
        ExtendTo(l.PositionOfCell(col, row));
    } else {
        ClearSelection();
    }
    m_host->HexViewMoved();
    Notify();
    return true;
}

void HexModel::MoveToPosition(int position, HexField field, bool secondDigit) {
    HexCell cell = m_layout.CellOfPosition(position, field);
    if (secondDigit && field == HexField::Hex)
        ++cell.Col;
    MoveTo(cell.Col, cell.Row);
}

// ---- selection --------------------------------------------------------------------------------

int HexModel::ClampPosition(int p) const {
    return std::clamp(p, 0, std::max(0, DataSize() - 1));
}

void HexModel::Select(int start, int end, int anchor) {
    m_selStart = start;
    m_selEnd = end;
    m_selAnchor = anchor;
}

void HexModel::ExtendTo(int position) {
    if (DataSize() == 0)
        return;
    int lo = std::min(m_selBegin, position), hi = std::max(m_selBegin, position);
    const int unit = m_layout.BytesPerUnit();
    if (unit > 1) {
        lo -= lo % unit;
        hi = hi - hi % unit + unit - 1;
    }
    Select(ClampPosition(lo), ClampPosition(hi), m_selBegin);
}

void HexModel::ClearSelection() {
    const bool had = m_selAnchor != -1;
    Select(-1, -1, -1);
    m_selBegin = -1;
    m_extending = false;
    if (had)
        m_host->HexRepaint();
}

void HexModel::SetSelectionStart(int position) {
    if (position < 0 || position >= DataSize())
        throw EHexEditor(hexmsg::SelectionStart);
    ClearSelection();
    MoveToPosition(position, CursorField());
}

void HexModel::SetSelectionEnd(int position) {
    if (position < -1 || position >= DataSize())
        throw EHexEditor(hexmsg::SelectionEnd);
    ClearSelection();
    if (position >= 0) {
        const int at = CursorPosition();
        Select(std::min(at, position), std::max(at, position), at);
    }
    Notify();
}

void HexModel::SelectAllData() {
    if (DataSize() == 0)
        return;
    m_extending = false;
    MoveToPosition(DataSize() - 1, CursorField());
    Select(0, DataSize() - 1, 0);
    Notify();
}

// ---- bookmarks --------------------------------------------------------------------------------

const THexBookmark& HexModel::Bookmark(int index) const {
    if (index < 0 || index > 9)
        throw EHexEditor(hexmsg::BookmarkIndex);
    return m_bookmarks[static_cast<size_t>(index)];
}

void HexModel::ToggleBookmark(int index) {
    if (index < 0 || index > 9)
        throw EHexEditor(hexmsg::BookmarkIndex);
    THexBookmark& mark = m_bookmarks[static_cast<size_t>(index)];
    const int at = CursorPosition();
    const HexField field = CursorField();
    if (mark.Position == at && mark.Field == field)
        mark = THexBookmark{};
    else
        mark = THexBookmark{at, field};
    m_host->HexRepaint();
    m_host->HexBookmarkChanged();
}

void HexModel::GotoBookmark(int index) {
    if (index < 0 || index > 9)
        throw EHexEditor(hexmsg::BookmarkIndex);
    THexBookmark& mark = m_bookmarks[static_cast<size_t>(index)];
    if (mark.Position == -1)
        return;
    ClearSelection();
    if (mark.Position >= DataSize()) {
        mark = THexBookmark{};
        m_host->HexRepaint();
        m_host->HexBookmarkChanged();
        return;
    }
    MoveToPosition(mark.Position, mark.Field);
}
