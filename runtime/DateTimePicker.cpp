#include "runtime/DateTimePicker.h"

namespace quennet {

TDateTimePicker::TDateTimePicker() {
    SetTabStop(true);
    SetBounds(0, 0, 100, 21);
    GetLocalTime(&date_);
}

void TDateTimePicker::CreateParams(TCreateParams& params) {
    // The class is registered by the common controls only when asked for.
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_DATE_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
    TWinControl::CreateParams(params);
    params.ClassName = DATETIMEPICK_CLASSA;
    params.SystemClass = true;
    params.Style = (params.Style & ~WS_CLIPCHILDREN) | DTS_SHORTDATEFORMAT;
}

void TDateTimePicker::HandleCreated() {
    SetDate(date_);
}

SYSTEMTIME TDateTimePicker::Date() const {
    if (!HandleAllocated())
        return date_;
    SYSTEMTIME time = date_;
    SendMessageA(HandleOrNull(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    return time;
}

void TDateTimePicker::SetDate(const SYSTEMTIME& date) {
    date_ = date;
    if (HandleAllocated()) {
        SYSTEMTIME time = date;
        SendMessageA(HandleOrNull(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    }
}

} // namespace quennet
