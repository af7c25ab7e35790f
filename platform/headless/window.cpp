// Window services without a window. The message model is the same as the Qt
// backend's: a queue of posted messages, paint sent at once by updateWindow,
// message boxes that keep dispatching the window's messages while they wait.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/events.h"
#include "platform/headless.h"
#include "platform/sound.h"
#include "platform/window.h"

namespace platform {


struct Window {
    WindowProc proc = nullptr;
    DialogProc dialogProc = nullptr;
    const DialogTemplate* dialogTemplate = nullptr;
    bool alive = true;
    bool invalid = false;
    bool visible = false;
    std::map<int, std::string> itemText;
    std::map<int, int> checks;
    struct CanvasDeleter {
        void operator()(Surface* canvas) const { destroyCanvas(canvas); }
    };
    std::unique_ptr<Surface, CanvasDeleter> canvas;  // the client area the dialog writes text on
};

namespace {

struct QueuedAnswer {
    int32_t answer;
    int ticksWhileOpen;
};

struct HeadlessState {
    std::map<std::string, WindowClass> classes;
    std::vector<std::unique_ptr<Window>> windows;  // kept until reset so stale handles stay valid
    Window* main = nullptr;
    std::deque<Message> queue;
    bool quitPosted = false;
    int quitCode = 0;
    bool closeSent = false;
    std::map<uint32_t, int> timers;
    std::map<uint32_t, int32_t> menuStates;
    std::vector<headless::MessageBoxInfo> boxes;
    std::deque<QueuedAnswer> answers;
    headless::MessageBoxHandler boxHandler;
    headless::Feeder feeder;
    bool failClass = false;
    std::vector<headless::DialogInfo> dialogs;
};

HeadlessState state;

// Text written on a dialog goes to the event log, so tests and scripts can
// read what the player would.
void logDialogText(void*, DrawContext* context, int x, int y, const char* text, int byteLength) {
    for (const auto& window : state.windows) {
        if (!window->canvas || !window->alive) continue;
        if (context && window->canvas.get() == contextSurface(context)) {
            logEvent("dialog " + std::to_string(window->dialogTemplate->id) + " text " + std::to_string(x) + "," +
                     std::to_string(y) + " \"" + std::string(text, static_cast<size_t>(byteLength)) + "\"");
            return;
        }
    }
}

std::string hex(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%X", value);
    return buffer;
}

const char* answerName(int32_t answer) {
    switch (answer) {
        case IDOK: return "OK";
        case IDYES: return "Yes";
        case IDNO: return "No";
        default: return "?";
    }
}

headless::DialogInfo* dialogInfo(Window* dialog) {
    for (auto& info : state.dialogs)
        if (info.window == dialog) return &info;
    return nullptr;
}

const ControlTemplate* control(Window* dialog, int id) {
    if (!dialog || !dialog->dialogTemplate) return nullptr;
    const DialogTemplate& t = *dialog->dialogTemplate;
    for (int i = 0; i < t.controlCount; ++i)
        if (t.controls[i].id == id) return &t.controls[i];
    return nullptr;
}

// Set by SIGTERM, SIGHUP or SIGINT; read by the loop. Outside the state,
// which reset() clears: a run stopped by a signal stays stopped.
volatile std::sig_atomic_t endSignal = 0;

void onEndSignal(int number) {
    endSignal = 1;
    // Where signal() gives a handler for one delivery only, it stays.
    std::signal(number, onEndSignal);
}

// Takes the next message, asking the feeder when the queue is empty. When
// nothing more will come, the main window gets a close message once.
bool nextMessage(Message& message) {
    for (;;) {
        if (!state.queue.empty()) {
            message = state.queue.front();
            state.queue.pop_front();
            return true;
        }
        if (state.quitPosted) return false;
        // A signal ends the game as the close box does, before anything more
        // is fed: the orderly shutdown saves.
        if (endSignal != 0 && state.main && state.main->alive && !state.closeSent) {
            state.closeSent = true;
            logEvent("session end");
            state.queue.push_back({state.main, MSG_CLOSE, 0, 0});
            continue;
        }
        if (state.feeder && state.feeder()) continue;
        if (state.main && state.main->alive && !state.closeSent) {
            state.closeSent = true;
            state.queue.push_back({state.main, MSG_CLOSE, 0, 0});
            continue;
        }
        return false;
    }
}

}  // namespace

void initApplication(int&, char**) { prepareTextDrawing(); }

bool registerWindowClass(const WindowClass& windowClass) {
    if (state.failClass || !windowClass.name || !windowClass.proc) {
        state.failClass = false;
        return false;
    }
    state.classes[windowClass.name] = windowClass;
    return true;
}

Window* createWindow(const char* className, const char* caption, int x, int y, int width, int height) {
    auto found = state.classes.find(className ? className : "");
    if (found == state.classes.end()) return nullptr;
    state.windows.push_back(std::make_unique<Window>());
    Window* window = state.windows.back().get();
    window->proc = found->second.proc;
    state.main = window;
    state.closeSent = false;
    logEvent("window create \"" + std::string(caption ? caption : "") + "\" at " + std::to_string(x) + "," +
             std::to_string(y) + " size " + std::to_string(width) + "x" + std::to_string(height));
    window->proc(window, MSG_CREATE, 0, 0);
    return window;
}

void showWindow(Window* window, int) {
    if (!window || !window->alive) return;
    window->visible = true;
    window->proc(window, MSG_ACTIVATE, 1, 0);
}

void invalidateWindow(Window* window) {
    if (window && window->alive) window->invalid = true;
}

void updateWindow(Window* window) {
    if (!window || !window->alive || !window->invalid || !window->proc) return;
    window->invalid = false;
    window->proc(window, MSG_PAINT, 0, 0);
}

void destroyWindow(Window* window) {
    if (!window || !window->alive) return;
    if (window->dialogProc) {
        endDialog(window, 0);
        return;
    }
    window->alive = false;
    if (window == state.main) state.timers.clear();
    logEvent("window destroy");
    window->proc(window, MSG_DESTROY, 0, 0);
}

int32_t defaultWindowProc(Window* window, uint32_t message, uint32_t, uint32_t) {
    if (message == MSG_CLOSE) destroyWindow(window);
    return 0;
}

void beginPaint(Window*) {}
void endPaint(Window*) {}
Point clientToScreen(Window*, Point client) { return client; }
Point screenSize() { return {1920, 1080}; }

void postQuitMessage(int code) {
    state.quitPosted = true;
    state.quitCode = code;
}

bool peekMessage() { return !state.queue.empty() || state.quitPosted; }

bool getMessage(Message& message) {
    if (nextMessage(message)) return true;
    message = {nullptr, MSG_QUIT, static_cast<uint32_t>(state.quitCode), 0};
    return false;
}

void dispatchMessage(const Message& message) {
    Window* window = message.window;
    if (!window || !window->alive) return;
    // Headless time is the tick: sounds that were started run on with it, so
    // a ball sound ends after its length in ticks.
    if (message.message == MSG_TIMER && window == state.main) advanceSoundTime(100);
    if (window->dialogProc)
        window->dialogProc(window, message.message, message.wParam, message.lParam);
    else if (window->proc)
        window->proc(window, message.message, message.wParam, message.lParam);
}

void setTimer(Window* window, uint32_t id, int periodMs) {
    if (!window || !window->alive) return;
    state.timers[id] = periodMs;
    logEvent("timer " + std::to_string(id) + " every " + std::to_string(periodMs) + " ms");
}

void enableMenuItem(uint32_t, uint32_t commandId, uint32_t flags) {
    state.menuStates[commandId] = static_cast<int32_t>(flags);
}

int32_t messageBox(Window* owner, const char* text, const char* caption, uint32_t style) {
    headless::MessageBoxInfo info{text ? text : "", caption ? caption : "", style, owner != nullptr};
    state.boxes.push_back(info);
    logEvent("messagebox owner=" + std::string(owner ? "main" : "none") + " style=" + hex(style) + " caption=\"" +
             info.caption + "\" text=\"" + info.text + "\"");
    int32_t answer = 0;
    if (!state.answers.empty()) {
        QueuedAnswer queued = state.answers.front();
        state.answers.pop_front();
        // The box stays open for a while: the window keeps ticking under it.
        for (int i = 0; i < queued.ticksWhileOpen; ++i) headless::tick(1);
        answer = queued.answer;
    } else if (state.boxHandler) {
        answer = state.boxHandler(info);
    } else {
        answer = headless::defaultAnswer(style);
        logEvent("messagebox unanswered: default " + std::string(answerName(answer)));
    }
    logEvent("messagebox answer=" + std::string(answerName(answer)));
    return answer;
}

Window* createDialog(const DialogTemplate& dialogTemplate, Window* owner, DialogProc proc) {
    if (!proc) return nullptr;
    state.windows.push_back(std::make_unique<Window>());
    Window* dialog = state.windows.back().get();
    dialog->dialogProc = proc;
    dialog->dialogTemplate = &dialogTemplate;
    state.dialogs.push_back({dialog, dialogTemplate.id, false, false});
    logEvent("dialog create " + std::to_string(dialogTemplate.id) + " \"" + dialogTemplate.caption + "\"");
    proc(dialog, MSG_INITDIALOG, 0, 0);
    return dialog;
}

void showDialog(Window* dialog) {
    if (!dialog || !dialog->alive) return;
    dialog->visible = true;
    if (auto* info = dialogInfo(dialog)) info->visible = true;
    // A newly shown dialog paints itself.
    dialog->dialogProc(dialog, MSG_PAINT, 0, 0);
}

void endDialog(Window* dialog, int32_t result) {
    if (!dialog || !dialog->alive || !dialog->dialogProc) return;
    dialog->alive = false;
    dialog->visible = false;
    if (auto* info = dialogInfo(dialog)) {
        info->visible = false;
        info->ended = true;
    }
    logEvent("dialog end " + std::to_string(dialog->dialogTemplate->id) + " result " + std::to_string(result));
}

void getDialogItemText(Window* dialog, int controlId, char* buffer, int bufferSize) {
    if (!buffer || bufferSize <= 0) return;
    buffer[0] = '\0';
    if (!dialog) return;
    auto found = dialog->itemText.find(controlId);
    if (found == dialog->itemText.end()) return;
    std::size_t n = std::min(found->second.size(), static_cast<std::size_t>(bufferSize - 1));
    found->second.copy(buffer, n);
    buffer[n] = '\0';
}

void checkRadioButton(Window* dialog, int firstId, int lastId, int checkId) {
    if (!dialog) return;
    for (int id = firstId; id <= lastId; ++id) dialog->checks[id] = id == checkId ? 1 : 0;
}

void checkDialogButton(Window* dialog, int controlId, int checked) {
    if (dialog) dialog->checks[controlId] = checked ? 1 : 0;
}

DrawContext* getWindowDC(Window* window) {
    if (!window || !window->alive || !window->dialogTemplate) return nullptr;
    if (!window->canvas) {
        // Two pixels a dialog unit: the size only bounds where text may go.
        const DialogTemplate& t = *window->dialogTemplate;
        window->canvas.reset(createCanvas(t.width * 2, t.height * 2, 0xC0C0C0));
    }
    DrawContext* context = nullptr;
    if (displayFailed(getDC(window->canvas.get(), &context))) return nullptr;
    return context;
}

void releaseWindowDC(Window* window, DrawContext* context) {
    if (window && window->canvas) releaseDC(window->canvas.get(), context);
}

void showHelp(Window*, const char* fileName, uint32_t command) {
    logEvent("help " + std::string(fileName ? fileName : "") + " command " + std::to_string(command));
}

void sleepMs(int milliseconds) { logEvent("sleep " + std::to_string(milliseconds) + " ms"); }

}  // namespace platform

namespace headless {

using namespace platform;

void reset() {
    state = HeadlessState();
    clearEventLog();
    setTextListener(logDialogText, nullptr);
    resetDisplayFaults();
    resetSoundDevice();
}

void endOnSignals() {
    std::signal(SIGTERM, onEndSignal);
    std::signal(SIGINT, onEndSignal);
#ifdef SIGHUP
    std::signal(SIGHUP, onEndSignal);
#endif
}

bool endRequested() { return endSignal != 0; }

Window* mainWindow() { return state.main && state.main->alive ? state.main : nullptr; }

void post(uint32_t message, uint32_t wParam, uint32_t lParam) {
    if (state.main) state.queue.push_back({state.main, message, wParam, lParam});
}

void send(uint32_t message, uint32_t wParam, uint32_t lParam) {
    dispatchMessage({state.main, message, wParam, lParam});
}

void tick(int n) {
    for (int i = 0; i < n && mainWindow(); ++i) send(MSG_TIMER, 1, 0);
}

const std::vector<MessageBoxInfo>& messageBoxes() { return state.boxes; }
void queueAnswer(int32_t answer, int ticksWhileOpen) { state.answers.push_back({answer, ticksWhileOpen}); }
void setMessageBoxHandler(MessageBoxHandler handler) { state.boxHandler = std::move(handler); }
int32_t defaultAnswer(uint32_t style) { return (style & 0xF) == MB_YESNO ? IDYES : IDOK; }
void setFeeder(Feeder feeder) { state.feeder = std::move(feeder); }

int32_t menuItemState(uint32_t commandId) {
    auto found = state.menuStates.find(commandId);
    return found == state.menuStates.end() ? -1 : found->second;
}

int timerPeriod(uint32_t id) {
    auto found = state.timers.find(id);
    return found == state.timers.end() ? 0 : found->second;
}

void failWindowClass() { state.failClass = true; }

std::vector<DialogInfo> dialogs() { return state.dialogs; }

Window* findDialog(int templateId) {
    for (auto it = state.dialogs.rbegin(); it != state.dialogs.rend(); ++it)
        if (it->templateId == templateId && it->window->alive) return it->window;
    return nullptr;
}

void typeText(Window* dialog, int controlId, const std::string& text) {
    if (dialog && dialog->alive) dialog->itemText[controlId] = text;
}

void click(Window* dialog, int controlId) {
    if (!dialog || !dialog->alive) return;
    if (const ControlTemplate* c = control(dialog, controlId)) {
        if (c->kind == ControlKind::CheckBox) dialog->checks[controlId] = dialog->checks[controlId] ? 0 : 1;
        if (c->kind == ControlKind::Radio) {
            // Automatic radio buttons: the group is the run of radios around this one.
            const DialogTemplate& t = *dialog->dialogTemplate;
            for (int i = 0; i < t.controlCount; ++i)
                if (t.controls[i].kind == ControlKind::Radio) dialog->checks[t.controls[i].id] = 0;
            dialog->checks[controlId] = 1;
        }
    }
    dialog->dialogProc(dialog, MSG_COMMAND, static_cast<uint32_t>(controlId), 0);
}

void closeDialog(Window* dialog) {
    if (dialog && dialog->alive) dialog->dialogProc(dialog, MSG_COMMAND, IDCANCEL, 0);
}

int isChecked(Window* dialog, int controlId) {
    if (!dialog) return 0;
    auto found = dialog->checks.find(controlId);
    return found == dialog->checks.end() ? 0 : found->second;
}

}  // namespace headless
