// The About box, built from its template.
#pragma once

#include "platform/widgets/dialog_builder.h"
#include "platform/widgets/resource_icon.h"
#include "shell/resources/resources.h"

class CAboutDlg : public TemplateDialog {
  public:
    explicit CAboutDlg(QWidget* parent = nullptr)
        : TemplateDialog(kavelo::resources::AboutBoxTemplate(), parent,
                         [](const char*) { return MainIconPixmap(32); }) {}
};
