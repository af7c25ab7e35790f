#include "script.h"

#include <cstdlib>
#include <sstream>

#include "platform/window.h"

namespace {

bool parseNumber(const std::string& word, int64_t& out) {
    if (word.empty()) return false;
    char* end = nullptr;
    long long value = std::strtoll(word.c_str(), &end, 0);  // decimal or 0x hex
    if (*end != '\0') return false;
    out = value;
    return true;
}

bool parseInt(const std::string& word, int32_t& out) {
    int64_t value;
    if (!parseNumber(word, value) || value < INT32_MIN || value > INT32_MAX) return false;
    out = static_cast<int32_t>(value);
    return true;
}

}  // namespace

bool parseScript(const std::string& source, std::vector<ScriptEvent>& events, std::string& error) {
    std::istringstream lines(source);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.empty()) continue;
        ScriptEvent e;
        e.line = number;
        auto fail = [&](const std::string& what) {
            error = "line " + std::to_string(number) + ": " + what;
            return false;
        };
        const std::string& op = w[0];
        bool ok = true;
        if (op == "tick") {
            e.op = ScriptOp::Tick;
            if (w.size() > 2 || (w.size() == 2 && (!parseNumber(w[1], e.count) || e.count < 0)))
                return fail("tick takes one count of 0 or more");
        } else if (op == "key") {
            if (w.size() == 2) {
                e.op = ScriptOp::Key;
                ok = parseInt(w[1], e.a);
            } else if (w.size() == 3 && (w[1] == "down" || w[1] == "up")) {
                e.op = w[1] == "down" ? ScriptOp::KeyDown : ScriptOp::KeyUp;
                ok = parseInt(w[2], e.a);
            } else {
                ok = false;
            }
            if (!ok) return fail("key [down|up] CODE");
        } else if (op == "mouse") {
            if (w.size() != 4) return fail("mouse move|press|release|rpress X Y");
            if (w[1] == "move") e.op = ScriptOp::MouseMove;
            else if (w[1] == "press") e.op = ScriptOp::MousePress;
            else if (w[1] == "release") e.op = ScriptOp::MouseRelease;
            else if (w[1] == "rpress") e.op = ScriptOp::RightPress;
            else return fail("mouse move|press|release|rpress X Y");
            if (!parseInt(w[2], e.a) || !parseInt(w[3], e.b)) return fail("mouse needs two numbers");
        } else if (op == "menu") {
            e.op = ScriptOp::Menu;
            if (w.size() != 2 || !parseInt(w[1], e.a)) return fail("menu ID");
        } else if (op == "answer") {
            e.op = ScriptOp::Answer;
            e.count = 0;
            if (w.size() != 2 && !(w.size() == 4 && w[2] == "after")) return fail("answer yes|no|ok [after TICKS]");
            if (w[1] == "yes") e.a = platform::IDYES;
            else if (w[1] == "no") e.a = platform::IDNO;
            else if (w[1] == "ok") e.a = platform::IDOK;
            else return fail("answer yes|no|ok [after TICKS]");
            if (w.size() == 4 && (!parseNumber(w[3], e.count) || e.count < 0 || e.count > INT32_MAX))
                return fail("answer ... after TICKS needs a count");
        } else if (op == "dialog") {
            if (w.size() < 3) return fail("dialog type|click|close TEMPLATE ...");
            if (!parseInt(w[2], e.a)) return fail("dialog template id must be a number");
            if (w[1] == "close" && w.size() == 3) {
                e.op = ScriptOp::DialogClose;
            } else if (w[1] == "click" && w.size() == 4 && parseInt(w[3], e.b)) {
                e.op = ScriptOp::DialogClick;
            } else if (w[1] == "type" && w.size() >= 4 && parseInt(w[3], e.b)) {
                e.op = ScriptOp::DialogType;
                for (size_t i = 4; i < w.size(); ++i) e.text += (i > 4 ? " " : "") + w[i];
            } else {
                return fail("dialog type TEMPLATE CONTROL TEXT | click TEMPLATE CONTROL | close TEMPLATE");
            }
        } else if (op == "dump" || op == "screenshot") {
            e.op = op == "dump" ? ScriptOp::Dump : ScriptOp::Screenshot;
            if (w.size() != 2) return fail(op + " FILE");
            e.text = w[1];
        } else if (op == "lose-surfaces") {
            e.op = ScriptOp::LoseSurfaces;
            if (w.size() != 1) return fail("lose-surfaces takes nothing");
        } else {
            return fail("unknown event '" + op + "'");
        }
        events.push_back(e);
    }
    return true;
}
