// What the view needs of the window it lives in: the control panel it shows its values in. The
// frame implements it; the view knows the panel only as a dialog bar.
#pragma once

class DialogBar;

class PanelHost {
  public:
    virtual DialogBar* GetControlPanel() = 0;

  protected:
    ~PanelHost() = default;
};
