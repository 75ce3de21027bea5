// What the view needs of the window it lives in: the control panel it shows its values in.
#pragma once

class CControlPanel;

class PanelHost {
  public:
    virtual CControlPanel* GetControlPanel() = 0;

  protected:
    ~PanelHost() = default;
};
