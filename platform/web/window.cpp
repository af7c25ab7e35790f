// Window services in the browser page.
//
// The page (page.js) turns the browser's events into messages in one queue:
// keys, the pointer, menu commands, dialog clicks and the 100 ms timer. The
// game's own message loop takes them from there one at a time; when the queue
// is empty it waits with Asyncify, which hands the browser back its thread
// until the page queues something. A message box is an HTML box over the
// page; its caller waits the same way, and meanwhile only timer messages are
// taken from the queue: ticks go on under the box, input queued before or
// during it waits for the answer, as in the desktop window.
#include <emscripten.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/events.h"
#include "platform/screen.h"
#include "platform/window.h"

// clang-format off
EM_ASYNC_JS(void, pachinko_wait, (), {
    await Module.pachinko.waitForEvent();
});
EM_JS(int, pachinko_take_event, (int ticksOnly, uint32_t* out), {
    return Module.pachinko.takeEvent(ticksOnly, out);
});
EM_JS(void, pachinko_page_start, (const char* caption), {
    Module.pachinko.start(UTF8ToString(caption));
});
EM_JS(void, pachinko_set_timer, (uint32_t handle, uint32_t id, int periodMs), {
    Module.pachinko.setTimer(handle, id, periodMs);
});
EM_JS(void, pachinko_menu_popup, (int index, const char* text), {
    Module.pachinko.menuPopup(index, UTF8ToString(text));
});
EM_JS(void, pachinko_menu_item, (int index, const char* text, uint32_t id), {
    Module.pachinko.menuItem(index, text ? UTF8ToString(text) : null, id);
});
EM_JS(void, pachinko_menu_done, (), {
    Module.pachinko.menuDone();
});
EM_JS(void, pachinko_menu_enable, (uint32_t id, int enabled), {
    Module.pachinko.menuEnable(id, enabled);
});
EM_JS(void, pachinko_present, (const uint8_t* rgba, int width, int height), {
    Module.pachinko.present(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
});
EM_JS(int, pachinko_box_open, (const char* text, const char* caption, uint32_t style), {
    return Module.pachinko.openBox(UTF8ToString(text), UTF8ToString(caption), style);
});
EM_JS(int, pachinko_box_answer, (int box), {
    return Module.pachinko.boxAnswer(box);
});
EM_JS(void, pachinko_dialog_create, (uint32_t handle, const char* caption, int width, int height, int centred), {
    Module.pachinko.dialogCreate(handle, UTF8ToString(caption), width, height, centred);
});
EM_JS(void, pachinko_dialog_control, (uint32_t handle, int kind, const char* text, int id, int x, int y, int width,
                                      int height), {
    Module.pachinko.dialogControl(handle, kind, text ? UTF8ToString(text) : "", id, x, y, width, height);
});
EM_JS(void, pachinko_dialog_size, (uint32_t handle, int* width, int* height), {
    const size = Module.pachinko.dialogSize(handle);
    HEAP32[width >> 2] = size[0];
    HEAP32[height >> 2] = size[1];
});
EM_JS(void, pachinko_dialog_show, (uint32_t handle), {
    Module.pachinko.dialogShow(handle);
});
EM_JS(void, pachinko_dialog_end, (uint32_t handle), {
    Module.pachinko.dialogEnd(handle);
});
EM_JS(void, pachinko_dialog_paint, (uint32_t handle, const uint8_t* rgba, int width, int height), {
    Module.pachinko.dialogPaint(handle, HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
});
EM_JS(int, pachinko_dialog_text, (uint32_t handle, int id, char* buffer, int size), {
    const text = Module.pachinko.dialogText(handle, id);
    return stringToUTF8(text, buffer, size);
});
EM_JS(void, pachinko_dialog_check, (uint32_t handle, int id, int checked), {
    Module.pachinko.dialogCheck(handle, id, checked);
});
EM_JS(void, pachinko_help, (const char* file), {
    Module.pachinko.showHelp(UTF8ToString(file));
});
EM_JS(void, pachinko_screen_size, (int* width, int* height), {
    HEAP32[width >> 2] = screen.width;
    HEAP32[height >> 2] = screen.height;
});
EM_JS(void, pachinko_after_dispatch, (uint32_t message), {
    Module.pachinko.afterDispatch(message);
});
// clang-format on

namespace platform {

struct Window {
    WindowProc proc = nullptr;
    DialogProc dialogProc = nullptr;
    const DialogTemplate* dialogTemplate = nullptr;
    bool alive = true;
    bool invalid = false;
    bool painting = false;
    struct CanvasDeleter {
        void operator()(Surface* canvas) const { destroyCanvas(canvas); }
    };
    std::unique_ptr<Surface, CanvasDeleter> canvas;  // the dialog's client area for its text
};

namespace {

struct WebState {
    std::map<std::string, WindowClass> classes;
    std::vector<std::unique_ptr<Window>> windows;  // kept for the page's life: stale handles stay valid
    Window* main = nullptr;
    bool quitPosted = false;
    int quitCode = 0;
    bool framePending = false;
    std::vector<uint32_t> rgba;  // the frame as the canvas takes it
};

WebState state;

uint32_t handleOf(const Window* window) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)); }

// A handle the page gave back; only windows made here are accepted.
Window* windowOf(uint32_t handle) {
    for (const auto& window : state.windows)
        if (handleOf(window.get()) == handle) return window.get();
    return nullptr;
}

// 0x00RRGGBB words to the canvas's R, G, B, A bytes: WebAssembly is little-
// endian, so each pixel is one word 0xAABBGGRR.
void toRgba(const uint32_t* pixels, int width, int height, int stride, std::vector<uint32_t>& out) {
    out.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    uint32_t* to = out.data();
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x)
            *to++ = 0xFF000000u | ((row[x] & 0xFFu) << 16) | (row[x] & 0xFF00u) | ((row[x] >> 16) & 0xFFu);
    }
}

const uint8_t* bytesOf(const std::vector<uint32_t>& words) { return reinterpret_cast<const uint8_t*>(words.data()); }

void presentFrame() {
    if (!state.framePending) return;
    state.framePending = false;
    ScreenPixels pixels;
    if (!primaryPixels(pixels)) return;
    toRgba(pixels.pixels, pixels.width, pixels.height, pixels.stride, state.rgba);
    pachinko_present(bytesOf(state.rgba), pixels.width, pixels.height);
}

// The next message from the page; false when none is waiting.
bool takeMessage(bool ticksOnly, Message& message) {
    uint32_t raw[4] = {};
    if (!pachinko_take_event(ticksOnly ? 1 : 0, raw)) return false;
    message = {windowOf(raw[0]), raw[1], raw[2], raw[3]};
    return true;
}

// Shows the dialog's client area: its face and the text the game wrote.
void paintDialogCanvas(Window* dialog) {
    if (!dialog->canvas) return;
    SurfaceDesc desc;
    if (displayFailed(lockSurface(dialog->canvas.get(), nullptr, desc, DDLOCK_WAIT))) return;
    std::vector<uint32_t> rgba;
    toRgba(static_cast<const uint32_t*>(desc.pixels), desc.width, desc.height, desc.pitch / 4, rgba);
    unlockSurface(dialog->canvas.get(), nullptr);
    pachinko_dialog_paint(handleOf(dialog), bytesOf(rgba), desc.width, desc.height);
}

}  // namespace

void initApplication(int&, char**) { prepareTextDrawing(); }

bool registerWindowClass(const WindowClass& windowClass) {
    if (!windowClass.name || !windowClass.proc) return false;
    state.classes[windowClass.name] = windowClass;
    return true;
}

Window* createWindow(const char* className, const char* caption, int, int, int, int) {
    auto found = state.classes.find(className ? className : "");
    if (found == state.classes.end()) return nullptr;
    state.windows.push_back(std::make_unique<Window>());
    Window* window = state.windows.back().get();
    window->proc = found->second.proc;
    state.main = window;
    pachinko_page_start(caption ? caption : "");
    if (const MenuTemplate* menu = found->second.menu) {
        for (int p = 0; p < menu->popupCount; ++p) {
            const MenuPopupTemplate& popup = menu->popups[p];
            pachinko_menu_popup(p, popup.text);
            for (int i = 0; i < popup.itemCount; ++i) pachinko_menu_item(p, popup.items[i].text, popup.items[i].id);
        }
    }
    pachinko_menu_done();
    window->proc(window, MSG_CREATE, 0, 0);
    setPresentListener([](void*) { state.framePending = true; }, nullptr);
    return window;
}

void showWindow(Window* window, int) {
    if (!window || !window->alive || window->dialogProc) return;
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
    if (window == state.main) setPresentListener(nullptr, nullptr);
    window->proc(window, MSG_DESTROY, 0, 0);
}

int32_t defaultWindowProc(Window* window, uint32_t message, uint32_t, uint32_t) {
    if (message == MSG_CLOSE) destroyWindow(window);
    return 0;
}

void beginPaint(Window*) {}
void endPaint(Window*) {}
Point clientToScreen(Window*, Point client) { return client; }

Point screenSize() {
    int width = 0;
    int height = 0;
    pachinko_screen_size(&width, &height);
    return {width, height};
}

void postQuitMessage(int code) {
    state.quitPosted = true;
    state.quitCode = code;
}

bool peekMessage() {
    if (state.quitPosted) return true;
    uint32_t raw[4];
    return pachinko_take_event(2, raw) != 0;  // 2: look without taking
}

bool getMessage(Message& message) {
    while (!state.quitPosted) {
        if (takeMessage(false, message)) return true;
        pachinko_wait();
    }
    message = {nullptr, MSG_QUIT, static_cast<uint32_t>(state.quitCode), 0};
    return false;
}

void dispatchMessage(const Message& message) {
    Window* window = message.window;
    if (window && window->alive) {
        if (window->dialogProc)
            window->dialogProc(window, message.message, message.wParam, message.lParam);
        else if (window->proc)
            window->proc(window, message.message, message.wParam, message.lParam);
    }
    presentFrame();
    pachinko_after_dispatch(message.message);
}

void setTimer(Window* window, uint32_t id, int periodMs) {
    if (!window || !window->alive) return;
    pachinko_set_timer(handleOf(window), id, periodMs);
}

void enableMenuItem(uint32_t, uint32_t commandId, uint32_t flags) {
    pachinko_menu_enable(commandId, (flags & MF_GRAYED) == 0 ? 1 : 0);
}

int32_t messageBox(Window* owner, const char* text, const char* caption, uint32_t style) {
    logEvent("messagebox owner=" + std::string(owner ? "main" : "none") + " caption=\"" + (caption ? caption : "") +
             "\" text=\"" + (text ? text : "") + "\"");
    presentFrame();
    const int box = pachinko_box_open(text ? text : "", caption ? caption : "", style);
    int32_t answer = 0;
    while ((answer = pachinko_box_answer(box)) == 0) {
        Message message;
        if (takeMessage(true, message))
            dispatchMessage(message);
        else
            pachinko_wait();
    }
    logEvent(std::string("messagebox answer=") + (answer == IDYES ? "Yes" : answer == IDNO ? "No" : "OK"));
    return answer;
}

Window* createDialog(const DialogTemplate& t, Window*, DialogProc proc) {
    if (!proc) return nullptr;
    state.windows.push_back(std::make_unique<Window>());
    Window* dialog = state.windows.back().get();
    dialog->dialogProc = proc;
    dialog->dialogTemplate = &t;
    const uint32_t handle = handleOf(dialog);
    pachinko_dialog_create(handle, t.caption, t.width, t.height, t.centred ? 1 : 0);
    for (int i = 0; i < t.controlCount; ++i) {
        const ControlTemplate& c = t.controls[i];
        pachinko_dialog_control(handle, static_cast<int>(c.kind), c.text, c.id, c.x, c.y, c.width, c.height);
    }
    logEvent("dialog create " + std::to_string(t.id) + " \"" + t.caption + "\"");
    proc(dialog, MSG_INITDIALOG, 0, 0);
    return dialog;
}

void showDialog(Window* dialog) {
    if (!dialog || !dialog->alive || !dialog->dialogProc) return;
    pachinko_dialog_show(handleOf(dialog));
    // A dialog shown paints itself; its client area keeps the picture.
    dialog->painting = true;
    dialog->dialogProc(dialog, MSG_PAINT, 0, 0);
    dialog->painting = false;
    paintDialogCanvas(dialog);
}

void endDialog(Window* dialog, int32_t result) {
    if (!dialog || !dialog->alive || !dialog->dialogProc) return;
    dialog->alive = false;
    logEvent("dialog end " + std::to_string(dialog->dialogTemplate->id) + " result " + std::to_string(result));
    pachinko_dialog_end(handleOf(dialog));
    dialog->canvas.reset();
}

void getDialogItemText(Window* dialog, int controlId, char* buffer, int bufferSize) {
    if (!buffer || bufferSize <= 0) return;
    buffer[0] = '\0';
    if (!dialog || !dialog->alive || !dialog->dialogProc) return;
    // The page cuts the text at a whole character within bufferSize - 1 bytes.
    pachinko_dialog_text(handleOf(dialog), controlId, buffer, bufferSize);
}

void checkRadioButton(Window* dialog, int firstId, int lastId, int checkId) {
    if (!dialog || !dialog->alive || !dialog->dialogProc) return;
    for (int id = firstId; id <= lastId; ++id) checkDialogButton(dialog, id, id == checkId ? 1 : 0);
}

void checkDialogButton(Window* dialog, int controlId, int checked) {
    if (!dialog || !dialog->alive || !dialog->dialogProc) return;
    pachinko_dialog_check(handleOf(dialog), controlId, checked ? 1 : 0);
}

DrawContext* getWindowDC(Window* window) {
    if (!window || !window->alive || !window->dialogProc) return nullptr;
    if (!window->canvas) {
        int width = 0;
        int height = 0;
        pachinko_dialog_size(handleOf(window), &width, &height);
        if (width <= 0 || height <= 0) return nullptr;
        window->canvas.reset(createCanvas(width, height, 0xC0C0C0));
    }
    DrawContext* context = nullptr;
    if (displayFailed(getDC(window->canvas.get(), &context))) return nullptr;
    return context;
}

void releaseWindowDC(Window* window, DrawContext* context) {
    if (!window || !window->canvas) return;
    releaseDC(window->canvas.get(), context);
    if (!window->painting) paintDialogCanvas(window);
}

void showHelp(Window*, const char* fileName, uint32_t command) {
    logEvent("help " + std::string(fileName ? fileName : "") + " command " + std::to_string(command));
    pachinko_help(fileName ? fileName : "");
}

void sleepMs(int milliseconds) {
    // A real pause without handing the thread back: no message may slip in.
    const double end = emscripten_get_now() + milliseconds;
    while (emscripten_get_now() < end) {
    }
}

}  // namespace platform
