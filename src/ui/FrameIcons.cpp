#include "ui/FrameIcons.h"

#include <QPixmap>

#include "view/CommandIds.h"

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
    case view::kCmdFileNew: xpm = cmd57600; break;
    case view::kCmdFileOpen: xpm = cmd57601; break;
    case view::kCmdFileSave: xpm = cmd57603; break;
    case view::kCmdSavePcmData: xpm = cmd32771; break;
    case view::kCmdSaveSpectrumData: xpm = cmd32773; break;
    case view::kCmdStop: xpm = cmd32779; break;
    case view::kCmdPlay: xpm = cmd32778; break;
    case view::kCmdPause: xpm = cmd32780; break;
    case view::kCmdRecord: xpm = cmd32781; break;
    case view::kCmdToStart: xpm = cmd32782; break;
    case view::kCmdToEnd: xpm = cmd32783; break;
    case view::kCmdStartMark: xpm = cmd32790; break;
    case view::kCmdEndMark: xpm = cmd32793; break;
    case view::kCmdAppAbout: xpm = cmd57664; break;
    default: return QIcon();
    }
    return QIcon(QPixmap(xpm));
}

}  // namespace tonmira::ui
