#include "hexcontrol/HexModel.h"

#include "hexcontrol/HexError.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace quennet {

std::string HexSelectionTooLargeText(HexPos count) {
    return HexFormat(hexmsg::SelectionTooLarge, std::to_string(count));
}

HexModel::HexModel(HexModelHost* host) : host_(host ? host : &nullHost_) {}

// ---- layout and geometry ----------------------------------------------------------------------

void HexModel::RecomputeGrid() {
    layout_.SetDataSize(DataSize());
    topRow_ = std::clamp<HexPos>(topRow_, kFirstDataRow, MaxTopRow());
    leftCol_ = std::clamp(leftCol_, kFirstDataCol, MaxLeftCol());
    if (cursor_.Row >= layout_.RowCount() || cursor_.Col >= layout_.ColCount())
        cursor_ = {kFirstDataCol, kFirstDataRow};
    host_->HexViewMoved();
    host_->HexRepaint();
}

void HexModel::SetCharMetrics(int charWidth, int charHeight) {
    layout_.SetCharMetrics(charWidth, charHeight);
    RecomputeGrid();
}

void HexModel::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    RecomputeGrid();
    // The first size after a cursor move that could not scroll (no window yet): the scrolling
    // that move asked for, from where the view stands.
    if (scrollPending_ && HasClientArea()) {
        scrollPending_ = false;
        ScrollIntoView(cursor_.Col, cursor_.Row);
    }
}

void HexModel::SetBytesPerRow(int value) {
    if (value < 1 || value > 256)
        throw EHexEditor(hexmsg::BytesPerLine);
    if (value == layout_.BytesPerRow())
        return;
    const HexPos start = selStart_, end = selEnd_, anchor = selAnchor_;
    const HexField field = CursorField();
    const bool second = layout_.IsSecondDigit(cursor_.Col);
    const HexPos byte = CursorPosition();
    layout_.SetBytesPerRow(value);
    RecomputeGrid();
    extending_ = false;
    MoveToPosition(std::min(byte, DataSize() - 1), field, second);
    auto clamp = [this](HexPos p) { return std::clamp<HexPos>(p, -1, DataSize() - 1); };
    selStart_ = clamp(start);
    selEnd_ = clamp(end);
    selAnchor_ = clamp(anchor);
    Notify();
}

// ---- document ---------------------------------------------------------------------------------

void HexModel::ResetDocument() {
    memory_.Clear();
    paged_.reset();
    fileName_ = "Untitled";
    hasFile_ = false;
    fileReadOnly_ = false;
    selStart_ = selEnd_ = selAnchor_ = selBegin_ = -1;
    extending_ = false;
    topRow_ = kFirstDataRow;
    leftCol_ = kFirstDataCol;
    cursor_ = {kFirstDataCol, kFirstDataRow};
    RecomputeGrid();
}

void HexModel::OpenPaged(const std::string& path, std::unique_ptr<HexPageReader> reader) {
    memory_.Clear();
    paged_ = std::make_unique<HexPagedData>(std::move(reader),
                                            [this](const std::string& text) { host_->HexReadFault(text); });
    // The grid for the new size and the cursor on the first digit of byte 0, scrolled to the
    // top left (which also drops the selection).
    extending_ = false;
    topRow_ = kFirstDataRow;
    leftCol_ = kFirstDataCol;
    RecomputeGrid();
    MoveTo(kFirstDataCol, kFirstDataRow);
    fileName_ = path;
    hasFile_ = true;
}

// ---- scrolling --------------------------------------------------------------------------------

int HexModel::PageRows() const {
    const int h = clientHeight_ - layout_.RulerHeight();
    return std::max(1, h / layout_.CharHeight());
}

int HexModel::VisibleRowCount() const {
    return static_cast<int>(std::max<HexPos>(1, std::min<HexPos>(PageRows(), layout_.RowCount() - topRow_)));
}

HexPos HexModel::MaxTopRow() const {
    return std::max<HexPos>(kFirstDataRow, layout_.RowCount() - PageRows());
}

int HexModel::MaxLeftCol() const {
    const int room = clientWidth_ - layout_.FixedWidth();
    int col = layout_.ColCount() - 1;
    int used = layout_.ColWidth(col);
    while (col > kFirstDataCol && used + layout_.ColWidth(col - 1) <= room) {
        --col;
        used += layout_.ColWidth(col);
    }
    return col;
}

void HexModel::SetTopRow(HexPos row) {
    row = std::clamp<HexPos>(row, kFirstDataRow, MaxTopRow());
    if (row == topRow_)
        return;
    topRow_ = row;
    host_->HexViewMoved();
    host_->HexRepaint();
}

void HexModel::SetLeftCol(int col) {
    col = std::clamp(col, kFirstDataCol, MaxLeftCol());
    if (col == leftCol_)
        return;
    leftCol_ = col;
    host_->HexViewMoved();
    host_->HexRepaint();
}

int HexModel::ColLeft(int col) const {
    if (col == 0)
        return 0;
    if (col == 1)
        return layout_.ColWidth(0);
    if (col < leftCol_)
        return -1;
    int x = layout_.FixedWidth();
    for (int c = leftCol_; c < col; ++c)
        x += layout_.ColWidth(c);
    return x;
}

int HexModel::RowTop(HexPos row) const {
    if (row < kFirstDataRow)
        return row == 0 ? 0 : layout_.RowHeight(0);
    if (row < topRow_)
        return -1;
    // Rows far below the view are all just "below"; their distance would not fit an int.
    const HexPos below = std::min<HexPos>(row - topRow_, PageRows() + 2);
    return layout_.RulerHeight() + static_cast<int>(below) * layout_.CharHeight();
}

bool HexModel::CellVisible(int col, HexPos row) const {
    const int x = ColLeft(col), y = RowTop(row);
    return x >= 0 && y >= 0 && x + layout_.ColWidth(col) <= clientWidth_ &&
           y + layout_.RowHeight(row) <= clientHeight_;
}

bool HexModel::ColFullyVisible(int col) const {
    const int x = ColLeft(col);
    return x >= 0 && x + layout_.ColWidth(col) <= clientWidth_;
}

int HexModel::ColAt(int x) const {
    if (x < 0 || x >= clientWidth_)
        return -1;
    if (x < layout_.ColWidth(0))
        return 0;
    if (x < layout_.FixedWidth())
        return 1;
    int left = layout_.FixedWidth();
    for (int c = leftCol_; c < layout_.ColCount(); ++c) {
        left += layout_.ColWidth(c);
        if (x < left)
            return c;
    }
    return -1;
}

HexPos HexModel::RowAt(int y) const {
    if (y < 0 || y >= clientHeight_)
        return -1;
    if (y < layout_.RowHeight(0))
        return 0;
    if (y < layout_.RulerHeight())
        return -1;
    const HexPos r = topRow_ + (y - layout_.RulerHeight()) / layout_.CharHeight();
    return r < layout_.RowCount() ? r : -1;
}

HexCell HexModel::MouseToCell(int x, int y) const {
    const int col = ColAt(x);
    const HexPos row = RowAt(y);
    if (col < 0 || row < 0)
        return {-1, -1};
    return {col, row};
}

void HexModel::ScrollIntoView(int col, HexPos row) {
    // Without a client area every cell counts as hidden and the least scrolling would be
    // a wrong guess (the cell's row on top, columns scrolled away): wait for the size.
    if (!HasClientArea()) {
        scrollPending_ = true;
        return;
    }
    HexPos top = topRow_;
    if (row >= kFirstDataRow) {
        if (row < top)
            top = row;
        else if (row >= top + PageRows())
            top = row - PageRows() + 1;
    }
    int left = leftCol_;
    if (col >= kFirstDataCol) {
        if (col < left) {
            left = col;
        } else {
            const int room = clientWidth_ - layout_.FixedWidth();
            auto span = [&](int from) {
                int w = 0;
                for (int c = from; c <= col; ++c)
                    w += layout_.ColWidth(c);
                return w;
            };
            while (left < col && span(left) > room)
                ++left;
        }
    }
    top = std::clamp<HexPos>(top, kFirstDataRow, MaxTopRow());
    left = std::clamp(left, kFirstDataCol, std::max(kFirstDataCol, MaxLeftCol()));
    if (top != topRow_ || left != leftCol_) {
        topRow_ = top;
        leftCol_ = left;
        host_->HexViewMoved();
    }
}

// ---- cursor -----------------------------------------------------------------------------------

bool HexModel::SyncActiveField() {
    const HexField field = CursorField();
    if (field == activeField_)
        return false;
    activeField_ = field;
    return true;
}

void HexModel::Notify() {
    host_->HexRepaint();
    host_->HexSelectionChanged();
}

bool HexModel::MoveTo(int col, HexPos row) {
    const HexLayout& l = layout_;
    if (row < kFirstDataRow || row >= l.RowCount() || col < kFirstDataCol || col >= l.ColCount())
        return false;
    if (col == l.SpacerCol()) {
        if (!leftDown_)
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
    const HexPos before = CursorPosition();
    cursor_ = {col, row};
    ScrollIntoView(col, row);
    if (extending_ && (shiftDown_ || leftDown_)) {
        if (selBegin_ == -1)
            selBegin_ = before;
        ExtendTo(l.PositionOfCell(col, row));
    } else {
        ClearSelection();
    }
    host_->HexViewMoved();
    Notify();
    return true;
}

void HexModel::MoveToPosition(HexPos position, HexField field, bool secondDigit) {
    HexCell cell = layout_.CellOfPosition(position, field);
    if (secondDigit && field == HexField::Hex)
        ++cell.Col;
    MoveTo(cell.Col, cell.Row);
}

// ---- selection --------------------------------------------------------------------------------

HexPos HexModel::ClampPosition(HexPos p) const {
    return std::clamp<HexPos>(p, 0, std::max<HexPos>(0, DataSize() - 1));
}

void HexModel::Select(HexPos start, HexPos end, HexPos anchor) {
    selStart_ = start;
    selEnd_ = end;
    selAnchor_ = anchor;
}

void HexModel::ExtendTo(HexPos position) {
    if (DataSize() == 0)
        return;
    HexPos lo = std::min(selBegin_, position), hi = std::max(selBegin_, position);
    const int unit = layout_.BytesPerUnit();
    if (unit > 1) {
        lo -= lo % unit;
        hi = hi - hi % unit + unit - 1;
    }
    Select(ClampPosition(lo), ClampPosition(hi), selBegin_);
}

void HexModel::ClearSelection() {
    const bool had = selAnchor_ != -1;
    Select(-1, -1, -1);
    selBegin_ = -1;
    extending_ = false;
    if (had)
        host_->HexRepaint();
}

void HexModel::SetSelectionStart(HexPos position) {
    if (position < 0 || position >= DataSize())
        throw EHexEditor(hexmsg::SelectionStart);
    ClearSelection();
    MoveToPosition(position, CursorField());
}

void HexModel::SetSelectionEnd(HexPos position) {
    if (position < -1 || position >= DataSize())
        throw EHexEditor(hexmsg::SelectionEnd);
    ClearSelection();
    if (position >= 0) {
        const HexPos at = CursorPosition();
        Select(std::min(at, position), std::max(at, position), at);
    }
    Notify();
}

void HexModel::SelectAllData() {
    if (DataSize() == 0)
        return;
    extending_ = false;
    MoveToPosition(DataSize() - 1, CursorField());
    Select(0, DataSize() - 1, 0);
    Notify();
}

// ---- bookmarks --------------------------------------------------------------------------------

const THexBookmark& HexModel::Bookmark(int index) const {
    if (index < 0 || index > 9)
        throw EHexEditor(hexmsg::BookmarkIndex);
    return bookmarks_[static_cast<size_t>(index)];
}

void HexModel::ToggleBookmark(int index) {
    if (index < 0 || index > 9)
        throw EHexEditor(hexmsg::BookmarkIndex);
    THexBookmark& mark = bookmarks_[static_cast<size_t>(index)];
    const HexPos at = CursorPosition();
    const HexField field = CursorField();
    if (mark.Position == at && mark.Field == field)
        mark = THexBookmark{};
    else
        mark = THexBookmark{at, field};
    host_->HexRepaint();
    host_->HexBookmarkChanged();
}

void HexModel::GotoBookmark(int index) {
    if (index < 0 || index > 9)
        throw EHexEditor(hexmsg::BookmarkIndex);
    THexBookmark& mark = bookmarks_[static_cast<size_t>(index)];
    if (mark.Position == -1)
        return;
    ClearSelection();
    if (mark.Position >= DataSize()) {
        mark = THexBookmark{};
        host_->HexRepaint();
        host_->HexBookmarkChanged();
        return;
    }
    MoveToPosition(mark.Position, mark.Field);
}

} // namespace quennet
