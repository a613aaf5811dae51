// The status bar: a row of panels with texts. Docked to the bottom of its parent by default
// and laid out by the runtime (the control does not place itself).
#pragma once

#include "runtime/Window.h"

#include <string>
#include <vector>

namespace quennet {

class TStatusBar : public TWinControl {
  public:
    TStatusBar(); // alBottom, 19 high
    // Panel widths from the left; the last panel runs to the right end.
    void SetPanelWidths(const std::vector<int>& widths);
    int PanelCount() const { return static_cast<int>(widths_.size()); }
    void SetPanelText(int panel, const std::string& text);
    std::string PanelText(int panel) const;

  protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

  private:
    void ApplyPanels();
    std::vector<int> widths_;
    std::vector<std::string> texts_;
};

} // namespace quennet
