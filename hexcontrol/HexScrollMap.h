#pragma once
// The vertical scroll bar counts in 32-bit positions; a file's rows may be more than that.
// Up to BarLimit rows the bar counts rows; beyond it the bar's positions are spread evenly
// over the rows, with its first and last positions on the first and last page exactly.
#include "hexcontrol/HexData.h"

namespace quennet {

class HexScrollMap {
  public:
    static constexpr int BarLimit = 1 << 30;

    // dataRows: rows of data; pageRows: whole rows a page shows.
    HexScrollMap(HexPos dataRows, int pageRows, int barLimit = BarLimit);

    bool Scaled() const { return scaled_; }
    int BarMax() const { return barMax_; }
    int BarPage() const { return barPage_; }
    // Bar position of a top row counted from the first data row (0 .. MaxTop()), and back.
    int BarPos(HexPos top) const;
    HexPos TopOf(int barPos) const;
    HexPos MaxTop() const { return maxTop_; }

  private:
    bool scaled_;
    int barMax_;
    int barPage_;
    int barRange_; // the last position the thumb reaches
    HexPos maxTop_;
};

} // namespace quennet
