#pragma once
// The tool bar's icons, drawn by scripts/make-icons.py into icons/*.xpm.
#include <QIcon>

namespace tonmira::ui {

// The icon of a tool-bar command; a null icon for any other id.
QIcon ToolBarIcon(int id);

}  // namespace tonmira::ui
