#pragma once
// The about box: the program's name and version.
#include "ui/dialogs/TemplateDialog.h"

namespace tonmira::ui {

inline constexpr const char* kAboutVersionText = "Tonmira Version 2.2";

class CAboutDlg : public TemplateDialog {
    Q_OBJECT
public:
    CAboutDlg(MessageSink& sink, QWidget* parent = nullptr);
};

}  // namespace tonmira::ui
