#pragma once
// The command vocabulary of the main window as data: the seven menus, the keys, the tool bar,
// and the status-bar prompt and tool tip of every command. The Qt frame is built from these.
#include <span>
#include <string>
#include <vector>

namespace tonmira::view {

struct MenuItem {
    int id;            // 0 = separator
    const char* text;  // "&" marks the mnemonic, "\t" separates the key shown at the right
};

struct MenuPopup {
    const char* title;
    std::vector<MenuItem> items;
};

struct Accelerator {
    const char* key;  // in the portable form "Ctrl+N", "Shift+Del", "Alt+Backspace", "Space"
    int id;
};

struct CommandText {
    int id;
    const char* prompt;  // shown in the status bar's message pane
    const char* tip;     // tool tip; empty when the command has none
};

const std::vector<MenuPopup>& MainMenu();
std::span<const Accelerator> Accelerators();
// The tool bar's entries in order; 0 is a separator.
std::span<const int> ToolBarEntries();
// The prompt and tip of a command, or null for an id without one.
const CommandText* FindCommandText(int id);
// Items of the menu that carry a check mark.
bool IsCheckedItem(int id);

// The texts the graph-type item shows for a linear and a logarithmic axis.
inline constexpr const char* kGraphTypeToLog = "片対数ｸﾞﾗﾌ(&G)";
inline constexpr const char* kGraphTypeToLinear = "ﾘﾆｱｸﾞﾗﾌ(&G)";

}  // namespace tonmira::view
