// The script language of pachinko-headless: one event per line, run in order
// (see docs/headless.md).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class ScriptOp {
    Tick,          // count
    KeyDown,       // a = virtual-key code
    KeyUp,
    Key,           // down then up
    MouseMove,     // a, b = x, y
    MousePress,
    MouseRelease,
    RightPress,
    Menu,          // a = command id
    Answer,        // a = IDOK / IDYES / IDNO, count = ticks while the box is open
    DialogType,    // a = template id, b = control id, text
    DialogClick,   // a = template id, b = control id
    DialogClose,   // a = template id
    Dump,          // text = file name
    Screenshot,    // text = file name
    LoseSurfaces,
};

struct ScriptEvent {
    ScriptOp op = ScriptOp::Tick;
    int64_t count = 1;
    int32_t a = 0;
    int32_t b = 0;
    std::string text;
    int line = 0;
};

// Parses a whole script. On a syntax error returns false and sets error to
// "line N: what is wrong".
bool parseScript(const std::string& source, std::vector<ScriptEvent>& events, std::string& error);
