#include "hexcontrol/HexCaret.h"

namespace quennet {

HexCaretBar HexCaretShape(THexCaretKind kind, bool readOnlyView, bool insertMode, int charWidth,
                          int charHeight) {
    if (kind == THexCaretKind::ckAuto) {
        // Nothing can be typed in the read-only view, so its caret only underlines.
        if (readOnlyView)
            kind = THexCaretKind::ckBottom;
        else
            kind = insertMode ? THexCaretKind::ckLeft : THexCaretKind::ckFull;
    }
    const int height = charHeight - 2;
    switch (kind) {
    case THexCaretKind::ckLeft:
        return {0, 0, 2, height};
    case THexCaretKind::ckBottom:
        return {0, charHeight - 4, charWidth, charHeight - 2};
    default:
        return {0, 0, charWidth, height};
    }
}

} // namespace quennet
