#pragma once
// The keyboard's lock states for the status bar's CAP, NUM and SCRL panes. UI thread only.
#include <optional>

namespace tonmira::ui {

struct LockKeyStates {
    bool m_bCaps = false;
    bool m_bNum = false;
    bool m_bScroll = false;
};

// On an X11 display the keyboard's lock indicators (XKB); nothing where they cannot be read
// (another display server, or no XKB).
std::optional<LockKeyStates> ReadLockKeys();

}  // namespace tonmira::ui
