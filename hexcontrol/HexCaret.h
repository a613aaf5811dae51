#pragma once

namespace quennet {

// The shape of the hex view's caret: which part of its bitmap is white (the part the platform
// inverts on screen).
enum class THexCaretKind { ckFull, ckLeft, ckBottom, ckAuto };

struct HexCaretBar {
    int Left, Top, Right, Bottom; // right and bottom exclusive, in the caret bitmap
};

// The white part of a caret CharWidth wide and CharHeight - 2 high.
HexCaretBar HexCaretShape(THexCaretKind kind, bool readOnlyView, bool insertMode, int charWidth,
                          int charHeight);

} // namespace quennet
