#include "ui/LockKeys.h"

#include <QGuiApplication>

#if TONMIRA_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace tonmira::ui {

std::optional<LockKeyStates> ReadLockKeys()
{
#if TONMIRA_HAVE_X11
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    // By name, so a keyboard map that orders its indicators differently still reads right.
    const auto lit = [display](const char* name, bool& on) {
        Bool state = False;
        const Atom atom = XInternAtom(display, name, True);
        if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr))
            return false;
        on = state == True;
        return true;
    };
    LockKeyStates states;
    if (!lit("Caps Lock", states.m_bCaps) || !lit("Num Lock", states.m_bNum))
        return std::nullopt;
    lit("Scroll Lock", states.m_bScroll);  // many keyboards have none: off
    return states;
#else
    return std::nullopt;
#endif
}

}  // namespace tonmira::ui
