// The common date picker: the arrows change the highlighted part of the date, Alt+Down or F4
// opens the month calendar. It always holds a day; whether the day is used is for the window
// to say (a check box beside it).
#pragma once

#include "runtime/Window.h"

namespace quennet {

class TDateTimePicker : public TWinControl {
  public:
    TDateTimePicker(); // a tab stop, showing today
    SYSTEMTIME Date() const;
    void SetDate(const SYSTEMTIME& date);

  protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

  private:
    SYSTEMTIME date_{}; // until the window exists
};

} // namespace quennet
