// The About box, built from its template.
#pragma once

#include "platform/dialog_builder.h"
#include "platform/resource_icon.h"
#include "shell/resources/resources.h"

class CAboutDlg : public TemplateDialog {
  public:
    explicit CAboutDlg(QWidget* parent = nullptr)
        : TemplateDialog(AboutBoxTemplate(), parent,
                         [](const char*) { return MainIconPixmap(32); }) {}
};
