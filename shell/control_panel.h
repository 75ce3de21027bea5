// The control panel docked at the frame's left edge: the IDD_CONTROL_PANEL template and nothing
// of its own; the view does all of the exchange with it.
#pragma once

#include "platform/widgets/dialog_builder.h"
#include "shell/resources/resources.h"

class CControlPanel : public kavelo::platform::widgets::DialogBar {
  public:
    explicit CControlPanel(QWidget* parent = nullptr)
        : kavelo::platform::widgets::DialogBar(kavelo::resources::ControlPanelTemplate(), parent) {}
};
