#include "ui/FrameIcons.h"

#include <QPixmap>

// The XPM files are C arrays; compiled in, they need no resource file or image plugin.
#include "icons/cmd32771.xpm"
#include "icons/cmd32773.xpm"
#include "icons/cmd32778.xpm"
#include "icons/cmd32779.xpm"
#include "icons/cmd32780.xpm"
#include "icons/cmd32781.xpm"
#include "icons/cmd32782.xpm"
#include "icons/cmd32783.xpm"
#include "icons/cmd32790.xpm"
#include "icons/cmd32793.xpm"
#include "icons/cmd57600.xpm"
#include "icons/cmd57601.xpm"
#include "icons/cmd57603.xpm"
#include "icons/cmd57664.xpm"

namespace tonmira::ui {

QIcon ToolBarIcon(int id)
{
    const char* const* xpm = nullptr;
    switch (id) {
    case 57600: xpm = cmd57600; break;
    case 57601: xpm = cmd57601; break;
    case 57603: xpm = cmd57603; break;
    case 32771: xpm = cmd32771; break;
    case 32773: xpm = cmd32773; break;
    case 32779: xpm = cmd32779; break;
    case 32778: xpm = cmd32778; break;
    case 32780: xpm = cmd32780; break;
    case 32781: xpm = cmd32781; break;
    case 32782: xpm = cmd32782; break;
    case 32783: xpm = cmd32783; break;
    case 32790: xpm = cmd32790; break;
    case 32793: xpm = cmd32793; break;
    case 57664: xpm = cmd57664; break;
    default: return QIcon();
    }
    return QIcon(QPixmap(xpm));
}

}  // namespace tonmira::ui
