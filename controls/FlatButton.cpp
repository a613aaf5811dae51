#include "controls/FlatButton.h"

namespace quennet {

TFlatButton::TFlatButton() : images_(16, 16, ILC_COLOR24 | ILC_MASK, 1) {}

void TFlatButton::SetPicture(HBITMAP picture) {
    picture_.reset(picture ? static_cast<HBITMAP>(CopyImage(picture, IMAGE_BITMAP, 0, 0, 0)) : nullptr);
}

} // namespace quennet
