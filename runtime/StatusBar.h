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
    // The panel widens to show its whole text, and narrows back to its set width when the
    // text gets shorter; the panels to its right move along.
    void SetPanelFitsText(int panel);
    int PanelCount() const { return static_cast<int>(widths_.size()); }
    void SetPanelText(int panel, const std::string& text);
    std::string PanelText(int panel) const;

  protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

  private:
    void ApplyPanels();
    void UpdateParts();
    int PanelWidth(size_t panel) const; // the set width, or what the text needs
    std::vector<int> widths_;
    std::vector<std::string> texts_;
    std::vector<bool> fitsText_;
    std::vector<int> edges_; // as last given to the window
};

} // namespace quennet
