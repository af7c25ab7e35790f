// Templates of the program's resources (menu and dialogs). The game's
// resources/ folder defines the instances; the backends build real menus and
// dialogs from them.
#pragma once

#include <cstdint>

namespace platform {

struct MenuItemTemplate {
    const char* text;  // null: a separator
    uint32_t id;
};

struct MenuPopupTemplate {
    const char* text;
    const MenuItemTemplate* items;
    int itemCount;
};

struct MenuTemplate {
    int id;
    const MenuPopupTemplate* popups;
    int popupCount;
};

enum class ControlKind {
    PushButton,
    Edit,      // with a border
    Label,     // static text
    CheckBox,  // automatic check box
    Radio,     // automatic radio button; consecutive radios form a group
    Icon,      // the program icon
    Frame,     // an etched frame
};

// Position and size in dialog units of the template's font.
struct ControlTemplate {
    ControlKind kind;
    const char* text;
    int id;  // -1: no id
    int x, y, width, height;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width, height;  // dialog units
    bool centred;       // centred on the screen; otherwise placed by the window system
    const char* fontName;
    int fontPoints;
    const ControlTemplate* controls;
    int controlCount;
};

}  // namespace platform
