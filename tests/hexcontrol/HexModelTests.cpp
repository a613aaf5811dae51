#include "hexcontrol/HexError.h"
#include "hexcontrol/HexModel.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace quennet;

namespace {
struct RecordingHost : HexModelHost {
    int copies = 0;
    int fontChanges = 0;
    int selectionNotes = 0;
    void HexCopyRequested() override { ++copies; }
    void HexFontSizeChanged() override { ++fontChanges; }
    void HexSelectionChanged() override { ++selectionNotes; }
};

// A file of size bytes whose byte i is i & 0xFF.
struct CountingBytes : HexPageReader {
    std::int64_t size;
    explicit CountingBytes(std::int64_t s) : size(s) {}
    std::int64_t Size() const override { return size; }
    std::size_t ReadAt(std::int64_t offset, void* dst, std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i)
            static_cast<std::uint8_t*>(dst)[i] =
                static_cast<std::uint8_t>(offset + static_cast<std::int64_t>(i));
        return count;
    }
};

// A viewer-configured model holding size bytes (byte i is i & 0xFF), 9 x 17 pixel cells and
// a client area of 640 x 20 + 10 rows.
struct Viewer {
    RecordingHost host;
    HexModel model{&host};

    explicit Viewer(int size, int bytesPerRow = 20) {
        model.ReadOnlyView = true;
        model.Layout().SetShowRuler(true);
        model.Layout().SetHexLowerCase(true);
        model.SetBytesPerRow(bytesPerRow);
        model.SetCharMetrics(9, 17);
        model.SetClientSize(640, 20 + 10 * 17);
        Load(size);
    }
    void Load(int size) { model.OpenPaged("C:\\data\\f.bin", std::make_unique<CountingBytes>(size)); }
    void Key(int key, HexShiftState shift = 0) { model.KeyDown(key, shift); }
    // Pixel centre of a cell as currently scrolled.
    std::pair<int, int> Centre(int col, int row) const {
        return {model.ColLeft(col) + model.Layout().ColWidth(col) / 2, model.RowTop(row) + 8};
    }
    int Pos() const { return model.CursorPosition(); }
};
} // namespace

TEST(Load, PutsTheCursorOnTheFirstDigitAndClearsTheSelection) {
    Viewer v(5000);
    v.model.SetSelectionStart(4000);
    v.model.SetSelectionEnd(4010);
    v.model.SetLeftCol(10);
    ASSERT_EQ(v.model.LeftCol(), 10);
    v.Load(300);
    EXPECT_EQ(v.model.Cursor(), (HexCell{2, 2}));
    EXPECT_EQ(v.model.TopRow(), 2);
    EXPECT_EQ(v.model.LeftCol(), 2);
    EXPECT_EQ(v.model.SelectionCount(), 0);
    EXPECT_EQ(v.model.DataSize(), 300);
    EXPECT_EQ(v.model.Layout().RowCount(), 300 / 20 + 2);
}

TEST(Selection, StartAndEndSelectTheMatchAndScrollItIntoView) {
    Viewer v(5000);
    v.model.SetSelectionStart(4990);
    v.model.SetSelectionEnd(4994);
    EXPECT_EQ(v.Pos(), 4990);
    EXPECT_EQ(v.model.SelStart(), 4990);
    EXPECT_EQ(v.model.SelEnd(), 4994);
    EXPECT_EQ(v.model.SelectionCount(), 5);
    EXPECT_TRUE(v.model.CellVisible(v.model.Cursor().Col, v.model.Cursor().Row));
    EXPECT_EQ(v.model.TopRow(), v.model.MaxTopRow());
}

TEST(Selection, AMatchSelectedBeforeTheWindowHasASizeIsScrolledIntoViewWhenItGetsOne) {
    // The viewer loads and selects before its window exists: the client area is 0 x 0.
    RecordingHost host;
    HexModel model{&host};
    model.Layout().SetShowRuler(true);
    model.SetBytesPerRow(20);
    model.SetCharMetrics(9, 17);
    model.OpenPaged("f.bin", std::make_unique<CountingBytes>(5000));
    model.SetSelectionStart(2507); // row 127, column 16
    model.SetSelectionEnd(2509);
    EXPECT_EQ(model.TopRow(), 2);
    EXPECT_EQ(model.LeftCol(), 2);
    // 10 whole rows; the grid is wider than the room, so columns could scroll too.
    model.SetClientSize(500, 20 + 10 * 17);
    EXPECT_EQ(model.TopRow(), 127 - 10 + 1); // the least scrolling: the match on the last row
    EXPECT_EQ(model.LeftCol(), 2);
    EXPECT_TRUE(model.CellVisible(model.Cursor().Col, model.Cursor().Row));
    // Later sizes do not scroll again.
    model.SetTopRow(2);
    model.SetClientSize(500, 20 + 12 * 17);
    EXPECT_EQ(model.TopRow(), 2);
}

TEST(Selection, EndBeforeTheCursorAndMinusOne) {
    Viewer v(100);
    v.model.SetSelectionStart(50);
    v.model.SetSelectionEnd(40);
    EXPECT_EQ(v.model.SelStart(), 40);
    EXPECT_EQ(v.model.SelEnd(), 50);
    v.model.SetSelectionEnd(-1);
    EXPECT_EQ(v.model.SelectionCount(), 0);
    EXPECT_EQ(v.model.SelAnchor(), -1);
    EXPECT_EQ(v.Pos(), 50);
}

TEST(Selection, OutOfRangeIsRefusedAndChangesNothing) {
    Viewer v(100);
    v.model.SetSelectionStart(10);
    v.model.SetSelectionEnd(12);
    EXPECT_THROW(v.model.SetSelectionStart(100), EHexEditor);
    EXPECT_THROW(v.model.SetSelectionStart(-1), EHexEditor);
    EXPECT_THROW(v.model.SetSelectionEnd(100), EHexEditor);
    EXPECT_THROW(v.model.SetSelectionEnd(-2), EHexEditor);
    EXPECT_EQ(v.model.SelStart(), 10);
    EXPECT_EQ(v.model.SelEnd(), 12);
    EXPECT_EQ(v.Pos(), 10);
}

TEST(Selection, SelectAllPutsTheCursorOnTheLastByte) {
    Viewer v(45);
    v.model.SelectAllData();
    EXPECT_EQ(v.model.SelStart(), 0);
    EXPECT_EQ(v.model.SelEnd(), 44);
    EXPECT_EQ(v.model.SelAnchor(), 0);
    EXPECT_EQ(v.model.Cursor(), (HexCell{10, 4}));
    Viewer empty(0);
    empty.model.SelectAllData();
    EXPECT_EQ(empty.model.SelectionCount(), 0);
}

TEST(Keys, ShiftRightThreeTimesFromByte5SelectsBytes5To8) {
    Viewer v(100);
    v.model.SetSelectionStart(5);
    v.Key(hexkey::Shift, hsShift);
    for (int i = 0; i < 3; ++i)
        v.Key(hexkey::Right, hsShift);
    EXPECT_EQ(v.model.SelStart(), 5);
    EXPECT_EQ(v.model.SelEnd(), 8);
    EXPECT_EQ(v.model.SelAnchor(), 5);
    EXPECT_EQ(v.model.Cursor(), (HexCell{18, 2}));
    // Left without Shift drops the selection and moves one digit: the low digit of byte 7.
    v.model.KeyUp(hexkey::Shift, 0);
    v.Key(hexkey::Left);
    EXPECT_EQ(v.model.SelectionCount(), 0);
    EXPECT_EQ(v.model.Cursor(), (HexCell{17, 2}));
}

TEST(Keys, ShiftLeftSelectsBackwards) {
    Viewer v(100);
    v.model.SetSelectionStart(30);
    v.Key(hexkey::Shift, hsShift);
    v.Key(hexkey::Left, hsShift);
    v.Key(hexkey::Up, hsShift);
    EXPECT_EQ(v.model.SelStart(), 9);
    EXPECT_EQ(v.model.SelEnd(), 30);
    EXPECT_EQ(v.model.SelAnchor(), 30);
}

TEST(Keys, HexFieldDigitsAndEnds) {
    Viewer v(21);
    v.Key(hexkey::Left); // nothing before byte 0
    EXPECT_EQ(v.model.Cursor(), (HexCell{2, 2}));
    v.Key(hexkey::Right);
    EXPECT_EQ(v.model.Cursor(), (HexCell{3, 2}));
    v.Key(hexkey::Right);
    EXPECT_EQ(v.model.Cursor(), (HexCell{4, 2}));
    v.Key(hexkey::End);
    EXPECT_EQ(v.model.Cursor(), (HexCell{41, 2})); // low digit of byte 19
    v.Key(hexkey::End, hsCtrl);
    EXPECT_EQ(v.model.Cursor(), (HexCell{2, 3})); // high digit of byte 20
    v.Key(hexkey::Right);
    v.Key(hexkey::Right); // low digit of the last byte: nothing
    EXPECT_EQ(v.model.Cursor(), (HexCell{3, 3}));
    v.Key(hexkey::Home, hsCtrl);
    EXPECT_EQ(v.model.Cursor(), (HexCell{2, 2}));
    v.Key(hexkey::Right, hsCtrl); // last character column, row 2
    EXPECT_EQ(v.model.Cursor(), (HexCell{62, 2}));
}

TEST(Keys, DownFromAboveAShortLastRowLandsOnTheLastByte) {
    Viewer v(25);
    v.model.SetSelectionStart(15);
    v.Key(hexkey::Down);
    EXPECT_EQ(v.Pos(), 24);
    EXPECT_EQ(v.model.Cursor(), (HexCell{10, 3}));
    v.Key(hexkey::Down); // last row: nothing
    EXPECT_EQ(v.Pos(), 24);
}

TEST(Keys, CharacterFieldTabAndBackspace) {
    Viewer v(40);
    v.model.SetSelectionStart(3);
    v.Key(hexkey::Right); // low digit
    v.Key(hexkey::Tab);
    EXPECT_EQ(v.model.Cursor(), (HexCell{46, 2}));
    v.Key(hexkey::Back); // moves like Left in the viewer
    EXPECT_EQ(v.model.Cursor(), (HexCell{45, 2}));
    v.Key('T', hsCtrl);
    EXPECT_EQ(v.model.Cursor(), (HexCell{6, 2})); // high digit when entering the hex field
    v.Key(hexkey::Back, hsCtrl);
    EXPECT_EQ(v.model.Cursor(), (HexCell{6, 2}));
}

TEST(Keys, NoDataKeepsTheCursorOnRow2) {
    Viewer v(0);
    for (int key : {hexkey::Right, hexkey::Down, hexkey::End, hexkey::Next, hexkey::Left, hexkey::Home})
        v.Key(key);
    EXPECT_EQ(v.model.Cursor(), (HexCell{2, 2}));
    v.Key(hexkey::Tab);
    EXPECT_EQ(v.model.Cursor(), (HexCell{43, 2}));
    v.Key(hexkey::End);
    v.model.MouseWheel(0, -120);
    EXPECT_EQ(v.model.Cursor(), (HexCell{43, 2}));
}

TEST(Keys, PagingMovesViewAndCursorTogether) {
    Viewer v(5000); // 10 rows visible
    v.Key(hexkey::Next);
    EXPECT_EQ(v.model.TopRow(), 11);
    EXPECT_EQ(v.model.Cursor().Row, 11);
    v.Key(hexkey::Next, hsCtrl);
    EXPECT_EQ(v.model.Cursor().Row, 20);
    v.Key(hexkey::Prior);
    EXPECT_EQ(v.model.TopRow(), 2);
    EXPECT_EQ(v.model.Cursor().Row, 11);
}

TEST(Keys, TypingAndCopyKeys) {
    Viewer v(50);
    v.model.SetSelectionStart(4);
    v.model.SetSelectionEnd(9);
    v.Key('C', hsCtrl);
    EXPECT_EQ(v.host.copies, 1);
    v.Key('C', hsCtrl | hsShift); // Ctrl alone only
    EXPECT_EQ(v.host.copies, 1);
    v.Key('X'); // a plain letter only drops the selection
    EXPECT_EQ(v.model.SelectionCount(), 0);
    EXPECT_EQ(v.Pos(), 4);
    v.Key('C', hsCtrl); // nothing to copy
    EXPECT_EQ(v.host.copies, 1);
    v.Key('A', hsCtrl);
    EXPECT_EQ(v.model.SelectionCount(), 50);
}

TEST(Bookmarks, ToggleGoAndDrop) {
    Viewer v(100);
    v.model.SetSelectionStart(33);
    v.Key('3', hsCtrl | hsShift);
    EXPECT_EQ(v.model.Bookmark(3).Position, 33);
    EXPECT_EQ(v.model.Bookmark(3).Field, HexField::Hex);
    v.Key('3', hsCtrl | hsShift);
    EXPECT_EQ(v.model.Bookmark(3).Position, -1);

    v.Key('3', hsCtrl | hsShift);
    v.Key(hexkey::Tab);
    v.Key('3', hsCtrl | hsShift); // other field: moved, not cleared
    EXPECT_EQ(v.model.Bookmark(3).Field, HexField::Char);
    v.model.SetSelectionStart(90);
    v.Key('3', hsCtrl);
    EXPECT_EQ(v.model.Cursor(), v.model.Layout().CellOfPosition(33, HexField::Char));

    // A bookmark past the end of the next file is dropped when used.
    v.model.SetSelectionStart(90);
    v.Key('5', hsCtrl | hsShift);
    v.Load(50);
    EXPECT_EQ(v.model.Bookmark(5).Position, 90); // loads keep bookmarks
    v.Key('5', hsCtrl);
    EXPECT_EQ(v.model.Bookmark(5).Position, -1);
    EXPECT_EQ(v.Pos(), 0);
    EXPECT_THROW(v.model.ToggleBookmark(10), EHexEditor);
}

TEST(Wheel, PlainWheelScrollsAPageLessOneRow) {
    Viewer v(5000);
    v.model.MouseWheel(0, -120);
    EXPECT_EQ(v.model.TopRow(), 11);
    EXPECT_EQ(v.model.Cursor().Row, 2);
    v.model.MouseWheel(0, 120);
    v.model.MouseWheel(0, 120);
    EXPECT_EQ(v.model.TopRow(), 2);
}

TEST(Wheel, CtrlChangesBytesPerRowAndFallsThroughAtTheLimits) {
    Viewer one(100, 1);
    one.model.SetSelectionStart(5);
    one.model.MouseWheel(hsCtrl, -120); // cannot go below 1: one row down instead
    EXPECT_EQ(one.model.Layout().BytesPerRow(), 1);
    EXPECT_EQ(one.Pos(), 6);
    one.model.MouseWheel(hsCtrl, 120);
    EXPECT_EQ(one.model.Layout().BytesPerRow(), 2);

    Viewer max(1000, 256);
    max.model.SetSelectionStart(300);
    max.model.MouseWheel(hsCtrl, 120); // cannot go above 256: one row up instead
    EXPECT_EQ(max.model.Layout().BytesPerRow(), 256);
    EXPECT_EQ(max.Pos(), 44);
    max.model.MouseWheel(hsCtrl, -120);
    EXPECT_EQ(max.model.Layout().BytesPerRow(), 255);
}

TEST(Wheel, BytesPerRowKeepsCursorByteDigitAndSelection) {
    Viewer v(100);
    v.model.SetSelectionStart(41);
    v.Key(hexkey::Right); // low digit
    v.model.SetSelectionEnd(60);
    v.model.MouseWheel(hsCtrl, -120);
    EXPECT_EQ(v.model.Layout().BytesPerRow(), 19);
    EXPECT_EQ(v.model.Layout().ColCount(), 60);
    EXPECT_EQ(v.model.Cursor(), (HexCell{2 * (41 % 19) + 3, 41 / 19 + 2}));
    EXPECT_EQ(v.model.SelStart(), 41);
    EXPECT_EQ(v.model.SelEnd(), 60);
}

TEST(Wheel, CtrlShiftZoomsTheFontDownTo2Points) {
    Viewer v(100);
    v.model.FontSize = 3;
    v.model.MouseWheel(hsCtrl | hsShift, -120);
    EXPECT_EQ(v.model.FontSize, 2);
    v.model.MouseWheel(hsCtrl | hsShift, -120); // falls through: one row down
    EXPECT_EQ(v.model.FontSize, 2);
    EXPECT_EQ(v.model.Cursor().Row, 3);
    v.model.MouseWheel(hsCtrl | hsShift, 120);
    EXPECT_EQ(v.model.FontSize, 3);
    EXPECT_EQ(v.host.fontChanges, 2);
}

TEST(Mouse, DragSelectsAndClickOnSelectionClearsIt) {
    Viewer v(100);
    auto [x0, y0] = v.Centre(12, 2); // byte 5
    auto [x1, y1] = v.Centre(18, 3); // byte 28
    v.model.MouseDown(HexMouseButton::Left, hsLeft, x0, y0);
    EXPECT_EQ(v.Pos(), 5);
    v.model.MouseMove(hsLeft, x1, y1);
    v.model.MouseUp(HexMouseButton::Left, 0, x1, y1);
    EXPECT_EQ(v.model.SelStart(), 5);
    EXPECT_EQ(v.model.SelEnd(), 28);

    // Press and release on a selected byte without moving: selection gone, cursor there.
    auto [x2, y2] = v.Centre(50, 2); // byte 7 in the character field
    v.model.MouseDown(HexMouseButton::Left, hsLeft, x2, y2);
    EXPECT_EQ(v.model.SelectionCount(), 24);
    v.model.MouseUp(HexMouseButton::Left, 0, x2, y2);
    EXPECT_EQ(v.model.SelectionCount(), 0);
    EXPECT_EQ(v.model.Cursor(), (HexCell{50, 2}));
}

TEST(Mouse, PressAndDragOntoTheSpacerGoToTheLastHexDigitOfTheRow) {
    Viewer v(100);
    auto [xs, ys] = v.Centre(42, 3); // the spacer beside bytes 20 to 39
    v.model.MouseDown(HexMouseButton::Left, hsLeft, xs, ys);
    v.model.MouseUp(HexMouseButton::Left, 0, xs, ys);
    EXPECT_EQ(v.model.Cursor(), (HexCell{41, 3}));

    auto [x0, y0] = v.Centre(12, 2); // byte 5
    auto [x1, y1] = v.Centre(42, 2);
    v.model.MouseDown(HexMouseButton::Left, hsLeft, x0, y0);
    v.model.MouseMove(hsLeft, x1, y1);
    v.model.MouseUp(HexMouseButton::Left, 0, x1, y1);
    EXPECT_EQ(v.model.Cursor(), (HexCell{41, 2}));
    EXPECT_EQ(v.model.SelStart(), 5);
    EXPECT_EQ(v.model.SelEnd(), 19);
}

TEST(Mouse, PressOnSelectionAndMoveOffKeepsIt) {
    Viewer v(100);
    v.model.SetSelectionStart(5);
    v.model.SetSelectionEnd(10);
    auto [x, y] = v.Centre(14, 2); // byte 6
    v.model.MouseDown(HexMouseButton::Left, hsLeft, x, y);
    v.model.MouseMove(hsLeft, x + 20, y);
    v.model.MouseUp(HexMouseButton::Left, 0, x + 20, y);
    EXPECT_EQ(v.model.SelStart(), 5);
    EXPECT_EQ(v.model.SelEnd(), 10);
}

TEST(Mouse, DragOutStartsPastTheThreshold) {
    Viewer v(100);
    v.model.OleDragDrop = true;
    v.model.SetSelectionStart(5);
    v.model.SetSelectionEnd(10);
    auto [x, y] = v.Centre(14, 2);
    v.model.MouseDown(HexMouseButton::Left, hsLeft, x, y);
    EXPECT_FALSE(v.model.MouseMove(hsLeft, x + 4, y + 4));
    EXPECT_TRUE(v.model.MouseMove(hsLeft, x, y + 5));
    v.model.MouseUp(HexMouseButton::Left, 0, x, y + 5);
    EXPECT_EQ(v.model.SelectionCount(), 6);
}

TEST(Mouse, DoubleClickSelectsOneByteOnlyOnData) {
    Viewer v(100);
    auto [x, y] = v.Centre(47, 3); // byte 24 in the character field
    v.model.MouseDown(HexMouseButton::Left, hsLeft, x, y);
    v.model.MouseUp(HexMouseButton::Left, 0, x, y);
    v.model.MouseDown(HexMouseButton::Left, hsLeft | hsDouble, x, y);
    v.model.MouseUp(HexMouseButton::Left, 0, x, y);
    EXPECT_EQ(v.model.SelStart(), 24);
    EXPECT_EQ(v.model.SelEnd(), 24);

    v.model.MouseDown(HexMouseButton::Left, hsLeft, 5, y);
    v.model.MouseDown(HexMouseButton::Left, hsLeft | hsDouble, 5, y); // gutter
    v.model.MouseUp(HexMouseButton::Left, 0, 5, y);
    EXPECT_EQ(v.model.SelStart(), 24);
}

TEST(Mouse, DragScrollTimerFollowsThePointerBelowTheView) {
    Viewer v(5000);
    auto [x, y] = v.Centre(12, 2);
    v.model.MouseDown(HexMouseButton::Left, hsLeft, x, y);
    for (int i = 0; i < 15; ++i)
        v.model.DragScrollTick(hsLeft, x, v.model.ClientHeight() + 30);
    EXPECT_EQ(v.model.Cursor().Row, 2 + 10 + 14);
    EXPECT_EQ(v.model.TopRow(), 2 + 15);
    EXPECT_EQ(v.model.SelStart(), 5);
    EXPECT_EQ(v.model.SelEnd(), 5 + 24 * 20);
}

TEST(Mouse, PointerShapes) {
    Viewer v(100);
    v.model.SetSelectionStart(5);
    v.model.SetSelectionEnd(10);
    auto [x, y] = v.Centre(14, 2);
    EXPECT_EQ(v.model.PointerAt(0, x, y), HexPointer::Arrow);
    EXPECT_EQ(v.model.PointerAt(hsShift, x, y), HexPointer::IBeam);
    EXPECT_EQ(v.model.PointerAt(0, 3, y), HexPointer::Arrow);
    EXPECT_EQ(v.model.PointerAt(0, x, 3), HexPointer::Arrow);
    auto [x2, y2] = v.Centre(30, 3);
    EXPECT_EQ(v.model.PointerAt(0, x2, y2), HexPointer::IBeam);
}

TEST(Drop, PositionFollowsThePointerClampedToTheData) {
    Viewer v(100);
    auto drop = [&](int col, int row) {
        auto [x, y] = v.Centre(col, row);
        v.model.DragOverAt(x, y);
        return v.model.DropCell();
    };
    EXPECT_EQ(drop(15, 3), (HexCell{14, 3}));     // low digit of byte 26: marked on its high digit
    EXPECT_EQ(drop(49, 2), (HexCell{49, 2}));     // byte 6 in the character field
    EXPECT_EQ(drop(42, 2), (HexCell{40, 2}));     // the spacer: the row's last byte
    v.model.DragOverAt(5, v.model.RowTop(3) + 8); // over the gutter: the first visible column
    EXPECT_EQ(v.model.DropCell(), (HexCell{2, 3}));
    v.model.DragOverAt(v.Centre(5, 6).first, v.model.ClientHeight() - 1); // below the last row
    EXPECT_EQ(v.model.DropCell(), (HexCell{4, 6}));

    // Inside the selection the drop goes to its start; positions round down to a unit.
    v.model.SetSelectionStart(21);
    v.model.SetSelectionEnd(25);
    EXPECT_EQ(drop(12, 3), (HexCell{4, 3}));
    v.model.SetSelectionEnd(-1);
    v.model.Layout().SetBytesPerUnit(4);
    v.model.RecomputeGrid();
    EXPECT_EQ(drop(50, 3), (HexCell{47, 3})); // byte 27 -> 24 in the character field

    v.model.DragOverEnded();
    EXPECT_EQ(v.model.DropCell(), (HexCell{-1, -1}));

    Viewer empty(0);
    auto [x, y] = empty.Centre(20, 2);
    empty.model.DragOverAt(x, y);
    EXPECT_EQ(empty.model.DropCell(), (HexCell{2, 2}));
}

TEST(Drop, ViewScrollsOneRowOrColumnAtItsEdges) {
    Viewer v(5000); // ten rows in view
    auto over = [&](int x, int row) { v.model.DragOverAt(x, v.model.RowTop(row) + 8); };
    const int midX = v.Centre(20, 2).first;
    over(midX, 2); // top row, and it is row 2 already
    EXPECT_EQ(v.model.TopRow(), 2);
    over(midX, 11); // last visible row
    EXPECT_EQ(v.model.TopRow(), 3);
    over(midX, 3);
    EXPECT_EQ(v.model.TopRow(), 2);
    over(midX, 6);
    EXPECT_EQ(v.model.TopRow(), 2);

    over(v.model.ClientWidth() - 1, 6); // the partly shown last column
    EXPECT_EQ(v.model.LeftCol(), 3);
    over(v.model.Layout().FixedWidth() + 1, 6); // the first scrolled column
    EXPECT_EQ(v.model.LeftCol(), 2);
    EXPECT_EQ(v.model.TopRow(), 2);
}
