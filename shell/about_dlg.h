// The About box, built from its template.
#pragma once

#include "platform/widgets/dialog_builder.h"
#include "platform/widgets/resource_icon.h"
#include "shell/resources/resources.h"

class CAboutDlg : public kavelo::platform::widgets::TemplateDialog {
  public:
    explicit CAboutDlg(QWidget* parent = nullptr)
        : kavelo::platform::widgets::TemplateDialog(
              kavelo::resources::AboutBoxTemplate(), parent,
              [](const char*) { return kavelo::platform::widgets::MainIconPixmap(32); }) {}
};
