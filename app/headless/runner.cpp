#include "runner.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "machine/random.h"
#include "media/display.h"
#include "platform/display.h"
#include "platform/events.h"
#include "platform/headless.h"
#include "platform/screen.h"
#include "platform/services.h"
#include "resources/resources.h"
#include "script.h"
#include "state/game_state.h"
#include "shell/main_window.h"
#include "state_dump.h"

namespace fs = std::filesystem;

namespace {

using namespace platform;

struct Run {
    std::vector<ScriptEvent> events;
    size_t next = 0;
    int64_t ticksLeft = 0;
    fs::path outDir;
};

// The pop-up that holds a menu command, so that choosing it first runs the
// greying rule as opening the menu would.
int popupOf(uint32_t commandId) {
    for (int p = 0; p < MAIN_MENU.popupCount; ++p)
        for (int i = 0; i < MAIN_MENU.popups[p].itemCount; ++i)
            if (MAIN_MENU.popups[p].items[i].text && MAIN_MENU.popups[p].items[i].id == commandId) return p;
    return -1;
}

}  // namespace

bool chooseMenu(int32_t commandId) {
    int popup = popupOf(static_cast<uint32_t>(commandId));
    if (popup < 0) {
        logEvent("script: menu " + std::to_string(commandId) + " is not on the menu");
        return false;
    }
    headless::send(MSG_INITMENUPOPUP, static_cast<uint32_t>(popup), 0);
    if (headless::menuItemState(static_cast<uint32_t>(commandId)) == static_cast<int32_t>(MF_GRAYED)) {
        logEvent("script: menu " + std::to_string(commandId) + " is greyed; not chosen");
        return false;
    }
    headless::post(MSG_COMMAND, static_cast<uint32_t>(commandId), 0);
    return true;
}

namespace {

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

void screenshot(const fs::path& path) {
    ScreenPixels pixels;
    if (!primaryPixels(pixels)) {
        logEvent("script: screenshot " + path.filename().string() + ": nothing on the screen yet");
        return;
    }
    // Rows packed one after another, as the PNG writer takes them.
    std::vector<uint32_t> packed;
    packed.reserve(static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.height));
    for (int y = 0; y < pixels.height; ++y) {
        const uint32_t* row = pixels.pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(pixels.stride);
        packed.insert(packed.end(), row, row + pixels.width);
    }
    const std::u8string u8 = path.u8string();
    const std::string name(u8.begin(), u8.end());
    if (!platform::services::writePng(name, packed.data(), pixels.width, pixels.height))
        logEvent("script: screenshot " + path.filename().string() + " could not be written");
}

Window* dialogFor(const ScriptEvent& e) {
    Window* dialog = headless::findDialog(e.a);
    if (!dialog) logEvent("script: line " + std::to_string(e.line) + ": no dialog " + std::to_string(e.a) + " open");
    return dialog;
}

// Runs script events until one of them gives the game something to do.
bool feed(Run& run) {
    if (run.ticksLeft > 0) {
        --run.ticksLeft;
        headless::post(MSG_TIMER, 1, 0);
        return true;
    }
    while (run.next < run.events.size()) {
        const ScriptEvent& e = run.events[run.next++];
        uint32_t point = packPoint(e.a, e.b);
        switch (e.op) {
            case ScriptOp::Tick:
                if (e.count > 0) {
                    run.ticksLeft = e.count - 1;
                    headless::post(MSG_TIMER, 1, 0);
                    return true;
                }
                break;
            case ScriptOp::KeyDown: headless::post(MSG_KEYDOWN, static_cast<uint32_t>(e.a), 0); return true;
            case ScriptOp::KeyUp: headless::post(MSG_KEYUP, static_cast<uint32_t>(e.a), 0); return true;
            case ScriptOp::Key:
                headless::post(MSG_KEYDOWN, static_cast<uint32_t>(e.a), 0);
                headless::post(MSG_KEYUP, static_cast<uint32_t>(e.a), 0);
                return true;
            case ScriptOp::MouseMove: headless::post(MSG_MOUSEMOVE, 0, point); return true;
            case ScriptOp::MousePress: headless::post(MSG_LBUTTONDOWN, 1, point); return true;
            case ScriptOp::MouseRelease: headless::post(MSG_LBUTTONUP, 0, point); return true;
            case ScriptOp::RightPress: headless::post(MSG_RBUTTONDOWN, 2, point); return true;
            case ScriptOp::Menu: chooseMenu(e.a); return true;
            case ScriptOp::Answer: headless::queueAnswer(e.a, static_cast<int>(e.count)); break;
            case ScriptOp::DialogType:
                if (Window* d = dialogFor(e)) headless::typeText(d, e.b, e.text);
                break;
            case ScriptOp::DialogClick:
                if (Window* d = dialogFor(e)) headless::click(d, e.b);
                return true;
            case ScriptOp::DialogClose:
                if (Window* d = dialogFor(e)) headless::closeDialog(d);
                return true;
            case ScriptOp::Dump: writeFile(run.outDir / e.text, gameStateJson()); break;
            case ScriptOp::Screenshot: screenshot(run.outDir / e.text); break;
            case ScriptOp::LoseSurfaces: loseAllSurfaces(); break;
        }
    }
    return false;
}

}  // namespace

void resetProcess() {
    releasePresentation();
    headless::reset();
    resetGameState();
    RandomState = RandomStateWords();
}

int runHeadless(const RunOptions& options, std::string& error) {
    Run run;
    if (!parseScript(options.script, run.events, error)) return -1;
    std::error_code ec;
    fs::path previous = fs::current_path(ec);
    fs::path outDir = fs::absolute(options.outDir.empty() ? options.workDir : options.outDir, ec);
    fs::create_directories(outDir, ec);
    run.outDir = outDir;
    fs::current_path(options.workDir, ec);
    if (ec) {
        error = "cannot enter " + options.workDir + ": " + ec.message();
        return -1;
    }
    resetProcess();
    // Answers at the head of the script are for the boxes of start-up.
    while (run.next < run.events.size() && run.events[run.next].op == ScriptOp::Answer) {
        const ScriptEvent& e = run.events[run.next++];
        headless::queueAnswer(e.a, static_cast<int>(e.count));
    }
    headless::setFeeder([&run] { return feed(run); });
    int exitCode = winMain(options.commandLine.c_str(), 1);
    headless::setFeeder(nullptr);
    std::string log;
    for (const std::string& line : eventLog()) log += line + "\n";
    log += "exit " + std::to_string(exitCode) + "\n";
    writeFile(outDir / "log.txt", log);
    writeFile(outDir / "state.json", gameStateJson());
    fs::current_path(previous, ec);
    return exitCode;
}
