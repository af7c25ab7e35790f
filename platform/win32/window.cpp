// Window services on Win32.
//
// The game's message loop drives Windows' own: getMessage pumps the thread's
// queue until one of the game's messages is waiting. Windows messages become
// game messages in a queue of our own (keys, the pointer, menu commands, the
// close box, the timer), so that input reaches the game in the order it came,
// exactly as the other backends hand it over.
//
// MessageBoxW runs its own loop, as do an open menu and moving the window;
// the timer's WM_TIMER still reaches the main window in there, and while
// such a loop runs a timer message is handed to the game at once: ticks go
// on under the box, the menu, the move. Other input waits in the queue
// until the box is answered, so a session replays the same from a script,
// where nothing but ticks can happen under a box.
//
// Everything the event log receives is also written to the debugger's output
// (OutputDebugString), with the client rectangles of the windows: that is
// what a player can send when reporting a problem, and what the tests read.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/events.h"
#include "platform/screen.h"
#include "platform/win_backend.h"
#include "platform/window.h"
#include "recorder.h"
#include "text_win.h"

// After our headers: the system's macros (VK_*, IDOK, MB_*) would otherwise
// rewrite their names. Where both name a value, the values are the same.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <windowsx.h>

namespace platform {

struct Window {
    WindowProc proc = nullptr;
    DialogProc dialogProc = nullptr;
    const DialogTemplate* dialogTemplate = nullptr;
    HWND hwnd = nullptr;
    bool alive = true;
    bool invalid = false;
    Surface* canvas = nullptr;  // a dialog's client area, which the game writes its text on
    bool painting = false;
};

namespace {

constexpr wchar_t MAIN_CLASS[] = L"pachinko main window";
constexpr wchar_t HELP_CLASS[] = L"pachinko help";
constexpr int ICON_RESOURCE = 101;
constexpr int GAME_WIDTH = 640;
constexpr int GAME_HEIGHT = 416;
constexpr DWORD MAIN_STYLE = WS_CAPTION | WS_SYSMENU;

struct WinState {
    std::map<std::string, WindowClass> classes;
    std::vector<std::unique_ptr<Window>> windows;  // kept to the end, so stale handles stay safe
    Window* main = nullptr;
    std::deque<Message> queue;
    bool quitPosted = false;
    int quitCode = 0;
    int nesting = 0;  // message boxes and the system's own loops (menus, moving) open right now
    HMENU menuBar = nullptr;
    HWND help = nullptr;
    HWND helpText = nullptr;
    HFONT helpFont = nullptr;
    int scale = 0;  // 0: not decided yet
    SessionEndHandler sessionEnd = nullptr;
    std::size_t loggedLines = 0;
};

WinState state;

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

void debugLine(const std::string& line) { OutputDebugStringA(line.c_str()); }

// New lines of the event log go to the debugger's output.
void flushEventLog() {
    const std::vector<std::string>& lines = eventLog();
    if (lines.size() < state.loggedLines) state.loggedLines = 0;
    for (; state.loggedLines < lines.size(); ++state.loggedLines) debugLine(lines[state.loggedLines]);
}

void log(std::string line) {
    logEvent(std::move(line));
    flushEventLog();
}

// Where a window's client area is on the screen.
void logClientRect(const Window* window) {
    if (!window || !window->hwnd) return;
    RECT r{};
    GetClientRect(window->hwnd, &r);
    POINT origin{0, 0};
    ClientToScreen(window->hwnd, &origin);
    const std::string name = window->dialogTemplate ? std::to_string(window->dialogTemplate->id) : "main";
    debugLine("client " + name + " " + std::to_string(origin.x) + " " + std::to_string(origin.y) + " " +
              std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
}

void dispatchNow(const Message& message) { dispatchMessage(message); }

// Under a box the game gets ticks only (see the top of the file).
void drainTimers() {
    while (state.nesting > 0) {
        auto timer = std::find_if(state.queue.begin(), state.queue.end(),
                                  [](const Message& m) { return m.message == MSG_TIMER; });
        if (timer == state.queue.end()) return;
        Message message = *timer;
        state.queue.erase(timer);
        dispatchNow(message);
    }
}

void post(Window* window, uint32_t message, uint32_t wParam, uint32_t lParam) {
    if (!window || !window->alive) return;
    // At most one timer message waits, so a slow tick never builds a backlog.
    const bool waiting = message == MSG_TIMER && std::any_of(state.queue.begin(), state.queue.end(), [&](const Message& m) {
        return m.window == window && m.message == MSG_TIMER && m.wParam == wParam;
    });
    if (!waiting) state.queue.push_back({window, message, wParam, lParam});
    if (message == MSG_TIMER) drainTimers();
}

// A message as a line of the pachinko-headless script; empty for messages
// the script does not carry.
std::string scriptLine(const Message& m) {
    const Window* window = m.window;
    if (window->dialogProc) {
        if (m.message != MSG_COMMAND) return {};
        const std::string dialog = std::to_string(window->dialogTemplate->id);
        const uint32_t control = m.wParam & 0xFFFFu;
        if (control == static_cast<uint32_t>(IDCANCEL)) return "dialog close " + dialog;
        return "dialog click " + dialog + " " + std::to_string(control);
    }
    const std::string point = std::to_string(pointX(m.lParam)) + " " + std::to_string(pointY(m.lParam));
    char key[32];
    std::snprintf(key, sizeof key, "0x%02X", m.wParam);
    switch (m.message) {
        case MSG_KEYDOWN: return std::string("key down ") + key;
        case MSG_KEYUP: return std::string("key up ") + key;
        case MSG_MOUSEMOVE: return "mouse move " + point;
        case MSG_LBUTTONDOWN: return "mouse press " + point;
        case MSG_LBUTTONUP: return "mouse release " + point;
        case MSG_RBUTTONDOWN: return "mouse rpress " + point;
        case MSG_COMMAND: return "menu " + std::to_string(m.wParam & 0xFFFFu);
        case MSG_CLOSE: return "# the window's close box";
        default: return {};
    }
}

// The keys the game can tell apart, as on the other backends; the rest
// (modifiers, punctuation, F10 which Windows keeps for the menu) never
// reach it.
uint32_t gameKey(WPARAM key) {
    if (key >= '0' && key <= '9') return static_cast<uint32_t>(key);
    if (key >= 'A' && key <= 'Z') return static_cast<uint32_t>(key);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return static_cast<uint32_t>(key);
    if (key >= VK_F1 && key <= VK_F12) return static_cast<uint32_t>(key);
    switch (key) {
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_ESCAPE:
        case VK_BACK:
        case VK_INSERT:
        case VK_DELETE:
        case VK_RETURN:
        case VK_SPACE: return static_cast<uint32_t>(key);
        default: return 0;
    }
}

// Client pixels to game pixels: divided by the scale, rounding down, so that
// a release left of the window (while the pointer is captured) stays left
// of it.
int toGame(int pixel, int by) { return pixel >= 0 ? pixel / by : -((-pixel + by - 1) / by); }

uint32_t position(LPARAM lParam) {
    const int by = windowScale();
    return packPoint(toGame(GET_X_LPARAM(lParam), by), toGame(GET_Y_LPARAM(lParam), by));
}

std::wstring wide(const char* utf8) { return utf8ToWide(utf8 ? utf8 : ""); }

// The main window's outer size for a game area of the current scale at `dpi`,
// with the menu bar on one line.
SIZE outerSize(UINT dpi) {
    RECT r{0, 0, GAME_WIDTH * windowScale(), GAME_HEIGHT * windowScale()};
    AdjustWindowRectExForDpi(&r, MAIN_STYLE, TRUE, 0, dpi);
    return {r.right - r.left, r.bottom - r.top};
}

// Gives the client area exactly the game area's size: the menu bar may take
// more than one line, which the estimate above cannot know.
void fitClientArea(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    const int wantWidth = GAME_WIDTH * windowScale(), wantHeight = GAME_HEIGHT * windowScale();
    const int dx = wantWidth - (client.right - client.left), dy = wantHeight - (client.bottom - client.top);
    if (dx == 0 && dy == 0) return;
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void present(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    ScreenPixels pixels;
    const int by = windowScale();
    if (primaryPixels(pixels)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = pixels.stride;
        info.bmiHeader.biHeight = -pixels.height;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        // Each game pixel becomes a sharp square of by × by.
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, 0, 0, pixels.width * by, pixels.height * by, 0, 0, pixels.width, pixels.height,
                      pixels.pixels, &info, DIB_RGB_COLORS, SRCCOPY);
    } else {
        RECT all{};
        GetClientRect(hwnd, &all);
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    EndPaint(hwnd, &paint);
}

// Ending the Windows session: the close message as from the close box, and,
// when the game asks to quit, the whole shutdown before the window answers.
void endSession(Window* window) {
    if (!window->alive) return;
    dispatchNow({window, MSG_CLOSE, 0, 0});
    if (!state.quitPosted || !state.sessionEnd) return;
    SessionEndHandler handler = state.sessionEnd;
    state.sessionEnd = nullptr;
    const int code = handler(state.quitCode);
    flushEventLog();
    ExitProcess(static_cast<UINT>(code));
}

LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window || !window->alive) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_TIMER: post(window, MSG_TIMER, static_cast<uint32_t>(wParam), 0); return 0;
        case WM_PAINT: present(hwnd); return 0;
        case WM_ERASEBKGND: return 1;  // the picture covers the whole client area
        case WM_KEYDOWN:
            if (uint32_t key = gameKey(wParam)) post(window, MSG_KEYDOWN, key, 0);
            return 0;
        case WM_KEYUP:
            if (uint32_t key = gameKey(wParam)) post(window, MSG_KEYUP, key, 0);
            return 0;
        case WM_MOUSEMOVE: post(window, MSG_MOUSEMOVE, 0, position(lParam)); return 0;
        case WM_LBUTTONDOWN:
            // The release must come back even when it happens off the window.
            SetCapture(hwnd);
            post(window, MSG_LBUTTONDOWN, 1, position(lParam));
            return 0;
        case WM_LBUTTONUP:
            ReleaseCapture();
            post(window, MSG_LBUTTONUP, 0, position(lParam));
            return 0;
        case WM_RBUTTONDOWN: post(window, MSG_RBUTTONDOWN, 2, position(lParam)); return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && lParam == 0) post(window, MSG_COMMAND, LOWORD(wParam), 0);
            return 0;
        case WM_INITMENUPOPUP:
            // The items are greyed right before the pop-up shows.
            if (HIWORD(lParam) == 0) dispatchNow({window, MSG_INITMENUPOPUP, LOWORD(lParam), 0});
            return 0;
        case WM_CLOSE: post(window, MSG_CLOSE, 0, 0); return 0;
        // Windows runs loops of its own while a menu is open or the window is
        // moved: as under a box, the ticks go on in there.
        case WM_ENTERMENULOOP:
        case WM_ENTERSIZEMOVE: ++state.nesting; return 0;
        case WM_EXITMENULOOP:
        case WM_EXITSIZEMOVE: state.nesting = std::max(0, state.nesting - 1); return 0;
        case WM_ACTIVATE: {
            const uint32_t minimized = HIWORD(wParam) != 0 ? 1u : 0u;
            const uint32_t active = LOWORD(wParam) != WA_INACTIVE ? 1u : 0u;
            post(window, MSG_ACTIVATE, (minimized << 16) | active, 0);
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        case WM_MOVE: logClientRect(window); return 0;
        case WM_QUERYENDSESSION: return TRUE;
        case WM_ENDSESSION:
            if (wParam) endSession(window);
            return 0;
        case WM_DPICHANGED: {
            // The game area keeps its scale; the frame follows the new DPI.
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            const SIZE size = outerSize(HIWORD(wParam));
            SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, size.cx, size.cy,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            fitClientArea(hwnd);
            return 0;
        }
        default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// --- dialogs -------------------------------------------------------------------

// A dialog template in memory: DLGTEMPLATE, its strings, then each
// DLGITEMTEMPLATE on a four-byte boundary.
class TemplateBuilder {
public:
    void word(uint16_t w) { bytes_.push_back(w); }
    void dword(uint32_t d) {
        word(static_cast<uint16_t>(d & 0xFFFFu));
        word(static_cast<uint16_t>(d >> 16));
    }
    void text(const std::wstring& s) {
        for (wchar_t c : s) word(static_cast<uint16_t>(c));
        word(0);
    }
    void alignDword() {
        if (bytes_.size() % 2) word(0);
    }
    void* data() { return bytes_.data(); }

private:
    std::vector<uint16_t> bytes_;  // words: every field is one or two of them
};

struct ControlStyle {
    uint16_t classAtom;
    DWORD style;
};

ControlStyle controlStyle(const ControlTemplate& c, bool firstRadio) {
    switch (c.kind) {
        case ControlKind::PushButton: return {0x0080, BS_PUSHBUTTON | WS_TABSTOP};
        case ControlKind::Edit: return {0x0081, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP};
        case ControlKind::Label: return {0x0082, SS_LEFT};
        case ControlKind::CheckBox: return {0x0080, BS_AUTOCHECKBOX | WS_TABSTOP};
        case ControlKind::Radio:
            return {0x0080, static_cast<DWORD>(BS_AUTORADIOBUTTON | (firstRadio ? WS_GROUP | WS_TABSTOP : 0))};
        case ControlKind::Icon: return {0x0082, SS_ICON};
        case ControlKind::Frame: return {0x0082, SS_ETCHEDFRAME};
    }
    return {0x0082, SS_LEFT};
}

void buildTemplate(const DialogTemplate& t, TemplateBuilder& b) {
    // Modeless, hidden until shown, with the title bar's help button.
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME | DS_SETFONT |
                  DS_CONTEXTHELP;
    if (t.centred) style |= DS_CENTER;
    b.dword(style);
    b.dword(0);
    b.word(static_cast<uint16_t>(t.controlCount));
    b.word(0);
    b.word(0);
    b.word(static_cast<uint16_t>(t.width));
    b.word(static_cast<uint16_t>(t.height));
    b.word(0);  // no menu
    b.word(0);  // the standard dialog class
    b.text(wide(t.caption));
    b.word(static_cast<uint16_t>(t.fontPoints > 0 ? t.fontPoints : 9));
    b.text(wide(t.fontName ? t.fontName : "MS Shell Dlg"));
    bool previousRadio = false;
    for (int i = 0; i < t.controlCount; ++i) {
        const ControlTemplate& c = t.controls[i];
        const bool radio = c.kind == ControlKind::Radio;
        const ControlStyle cs = controlStyle(c, radio && !previousRadio);
        previousRadio = radio;
        b.alignDword();
        b.dword(WS_CHILD | WS_VISIBLE | cs.style);
        b.dword(0);
        b.word(static_cast<uint16_t>(c.x));
        b.word(static_cast<uint16_t>(c.y));
        b.word(static_cast<uint16_t>(c.width));
        b.word(static_cast<uint16_t>(c.height));
        b.word(c.id >= 0 ? static_cast<uint16_t>(c.id) : 0xFFFFu);
        b.word(0xFFFFu);
        b.word(cs.classAtom);
        if (c.kind == ControlKind::Icon) {
            b.word(0xFFFFu);  // the program's icon resource
            b.word(ICON_RESOURCE);
        } else {
            b.text(wide(c.text));
        }
        b.word(0);  // no creation data
    }
}

INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* window = reinterpret_cast<Window*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(window));
        window->hwnd = hwnd;
        window->dialogProc(window, MSG_INITDIALOG, 0, 0);
        return FALSE;  // the focus stays where the system puts it
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!window || !window->alive) return FALSE;
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (code == EN_CHANGE) {
                if (recorder::active()) {
                    char text[256];
                    getDialogItemText(window, id, text, sizeof text);
                    recorder::typed(window->dialogTemplate->id, id, text);
                }
                return TRUE;
            }
            // Enter without a default button asks for IDOK, which none of
            // the game's dialogs has: as on the other backends, nothing.
            if (id == IDOK) return TRUE;
            if (code == BN_CLICKED || id == IDCANCEL) post(window, MSG_COMMAND, static_cast<uint32_t>(id), 0);
            return TRUE;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            // The game writes its text on the canvas; then the canvas is shown.
            window->painting = true;
            window->dialogProc(window, MSG_PAINT, 0, 0);
            window->painting = false;
            SurfaceDesc desc;
            if (window->canvas && !displayFailed(lockSurface(window->canvas, nullptr, desc, DDLOCK_WAIT))) {
                BITMAPINFO info{};
                info.bmiHeader.biSize = sizeof info.bmiHeader;
                info.bmiHeader.biWidth = desc.pitch / 4;
                info.bmiHeader.biHeight = -desc.height;
                info.bmiHeader.biPlanes = 1;
                info.bmiHeader.biBitCount = 32;
                info.bmiHeader.biCompression = BI_RGB;
                SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(desc.width), static_cast<DWORD>(desc.height), 0, 0, 0,
                                  static_cast<UINT>(desc.height), desc.pixels, &info, DIB_RGB_COLORS);
                unlockSurface(window->canvas, nullptr);
            }
            EndPaint(hwnd, &paint);
            return TRUE;
        }
        case WM_MOVE: logClientRect(window); return FALSE;
        default: return FALSE;
    }
}

HWND control(Window* dialog, int id) {
    if (!dialog || !dialog->alive || !dialog->hwnd) return nullptr;
    return GetDlgItem(dialog->hwnd, id);
}

// --- help --------------------------------------------------------------------

LRESULT CALLBACK helpWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (state.helpText) MoveWindow(state.helpText, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_CLOSE: ShowWindow(hwnd, SW_HIDE); return 0;  // kept for the next time
        default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

bool readWholeFile(const std::wstring& path, std::string& out) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < (16 << 20);
    if (ok) {
        out.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        ok = out.empty() || (ReadFile(file, out.data(), static_cast<DWORD>(out.size()), &read, nullptr) &&
                             read == out.size());
    }
    CloseHandle(file);
    return ok;
}

// --- the window's scale ----------------------------------------------------------

constexpr wchar_t SETTINGS_KEY[] = L"Software\\pachinko";
constexpr wchar_t SCALE_VALUE[] = L"WindowScale";

int rememberedScale() {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, SETTINGS_KEY, SCALE_VALUE, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return 0;
    return value >= 1 && value <= MAX_WINDOW_SCALE ? static_cast<int>(value) : 0;
}

// The whole multiple of the classic 96 DPI nearest to the screen's, as long
// as the window still fits the work area.
int scaleForScreen() {
    const UINT dpi = GetDpiForSystem();
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int by = std::clamp(static_cast<int>((dpi + 48) / 96), 1, MAX_WINDOW_SCALE);
    while (by > 1) {
        RECT r{0, 0, GAME_WIDTH * by, GAME_HEIGHT * by};
        AdjustWindowRectExForDpi(&r, MAIN_STYLE, TRUE, 0, dpi);
        if (r.right - r.left <= work.right - work.left && r.bottom - r.top <= work.bottom - work.top) break;
        --by;
    }
    return by;
}

}  // namespace

// --- main window -----------------------------------------------------------------

void initApplication(int&, char**) {
    // What shutdown logs (the sounds it stops) comes after the last message.
    std::atexit([] { flushEventLog(); });
    WNDCLASSEXW main{};
    main.cbSize = sizeof main;
    main.style = CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNCLIENT;
    main.lpfnWndProc = mainWindowProc;
    main.hInstance = instance();
    main.hIcon = LoadIconW(instance(), MAKEINTRESOURCEW(ICON_RESOURCE));
    main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    main.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    main.lpszClassName = MAIN_CLASS;
    RegisterClassExW(&main);
    WNDCLASSEXW help{};
    help.cbSize = sizeof help;
    help.lpfnWndProc = helpWindowProc;
    help.hInstance = instance();
    help.hIcon = main.hIcon;
    help.hCursor = main.hCursor;
    help.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    help.lpszClassName = HELP_CLASS;
    RegisterClassExW(&help);
}

bool registerWindowClass(const WindowClass& windowClass) {
    if (!windowClass.name || !windowClass.proc) return false;
    state.classes[windowClass.name] = windowClass;
    return true;
}

Window* createWindow(const char* className, const char* caption, int x, int y, int width, int height) {
    auto found = state.classes.find(className ? className : "");
    if (found == state.classes.end()) return nullptr;
    const WindowClass& windowClass = found->second;
    state.windows.push_back(std::make_unique<Window>());
    Window* window = state.windows.back().get();
    window->proc = windowClass.proc;

    HMENU bar = nullptr;
    if (const MenuTemplate* menu = windowClass.menu) {
        bar = CreateMenu();
        for (int p = 0; p < menu->popupCount; ++p) {
            const MenuPopupTemplate& popup = menu->popups[p];
            HMENU items = CreatePopupMenu();
            for (int i = 0; i < popup.itemCount; ++i) {
                const MenuItemTemplate& item = popup.items[i];
                if (!item.text)
                    AppendMenuW(items, MF_SEPARATOR, 0, nullptr);
                else
                    AppendMenuW(items, MF_STRING, item.id, wide(item.text).c_str());
            }
            AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(items), wide(popup.text).c_str());
        }
    }
    // The classic outer size is 640 × 460 at (x, y); ours is whatever the
    // frame and the menu take around the scaled game area, centred on the
    // same point and kept on the screen.
    const SIZE size = outerSize(GetDpiForSystem());
    const int left = std::max(0, x + width / 2 - static_cast<int>(size.cx) / 2);
    const int top = std::max(0, y + height / 2 - static_cast<int>(size.cy) / 2);
    HWND hwnd = CreateWindowExW(0, MAIN_CLASS, wide(caption).c_str(), MAIN_STYLE, left, top, size.cx, size.cy,
                                nullptr, bar, instance(), nullptr);
    if (!hwnd) {
        if (bar) DestroyMenu(bar);
        window->alive = false;
        return nullptr;
    }
    window->hwnd = hwnd;
    state.menuBar = bar;
    state.main = window;
    fitClientArea(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    window->proc(window, MSG_CREATE, 0, 0);
    auto listener = [](void* context) {
        auto* w = static_cast<Window*>(context);
        if (w->alive && w->hwnd) InvalidateRect(w->hwnd, nullptr, FALSE);
    };
    setPresentListener(listener, window);
    return window;
}

void showWindow(Window* window, int) {
    if (!window || !window->alive || !window->hwnd) return;
    ShowWindow(window->hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(window->hwnd);
    SetFocus(window->hwnd);
    window->proc(window, MSG_ACTIVATE, 1, 0);
    logClientRect(window);
}

void invalidateWindow(Window* window) {
    if (window && window->alive) window->invalid = true;
}

void updateWindow(Window* window) {
    if (!window || !window->alive || !window->invalid) return;
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
    ShowWindow(window->hwnd, SW_HIDE);
    window->proc(window, MSG_DESTROY, 0, 0);
    flushEventLog();
    // The window goes after the game has let go of it; its menu goes with it.
    DestroyWindow(window->hwnd);
    window->hwnd = nullptr;
}

int32_t defaultWindowProc(Window* window, uint32_t message, uint32_t, uint32_t) {
    if (message == MSG_CLOSE) destroyWindow(window);
    return 0;
}

void beginPaint(Window*) {}
void endPaint(Window*) {}
Point clientToScreen(Window*, Point client) { return client; }

Point screenSize() {
    HDC screen = GetDC(nullptr);
    Point size{GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES)};
    ReleaseDC(nullptr, screen);
    return size;
}

// --- message loop --------------------------------------------------------------------

void postQuitMessage(int code) {
    state.quitPosted = true;
    state.quitCode = code;
}

namespace {

// Hands one Windows message to its window, letting dialogs take their
// keyboard navigation (Tab, Escape) first.
void dispatchSystemMessage(MSG& msg) {
    for (const auto& window : state.windows)
        if (window->alive && window->dialogProc && window->hwnd && IsDialogMessageW(window->hwnd, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace

bool peekMessage() {
    MSG msg;
    while (state.queue.empty() && !state.quitPosted && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        dispatchSystemMessage(msg);
    return !state.queue.empty() || state.quitPosted;
}

bool getMessage(Message& message) {
    while (state.queue.empty() && !state.quitPosted) {
        MSG msg;
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            // WM_QUIT from outside: the game ends as if closed.
            if (state.main && state.main->alive) post(state.main, MSG_CLOSE, 0, 0);
            else state.quitPosted = true;
            continue;
        }
        dispatchSystemMessage(msg);
    }
    if (!state.queue.empty()) {
        message = state.queue.front();
        state.queue.pop_front();
        return true;
    }
    message = {nullptr, MSG_QUIT, static_cast<uint32_t>(state.quitCode), 0};
    return false;
}

void dispatchMessage(const Message& message) {
    Window* window = message.window;
    if (!window || !window->alive) return;
    if (recorder::active())
        recorder::beginDispatch(window == state.main && message.message == MSG_TIMER, scriptLine(message));
    if (window->dialogProc)
        window->dialogProc(window, message.message, message.wParam, message.lParam);
    else if (window->proc)
        window->proc(window, message.message, message.wParam, message.lParam);
    recorder::endDispatch();
    flushEventLog();
}

void setTimer(Window* window, uint32_t id, int periodMs) {
    if (!window || !window->alive || !window->hwnd) return;
    SetTimer(window->hwnd, id, static_cast<UINT>(periodMs), nullptr);
}

void enableMenuItem(uint32_t, uint32_t commandId, uint32_t flags) {
    if (!state.menuBar) return;
    EnableMenuItem(state.menuBar, commandId, MF_BYCOMMAND | ((flags & 1u) ? MF_GRAYED : MF_ENABLED));
}

// --- message box ------------------------------------------------------------------

int32_t messageBox(Window* owner, const char* text, const char* caption, uint32_t style) {
    log("messagebox owner=" + std::string(owner ? "main" : "none") + " caption=\"" + (caption ? caption : "") +
        "\" text=\"" + (text ? text : "") + "\"");
    HWND ownerWindow = owner && owner->alive ? owner->hwnd : nullptr;
    // The game's styles are Windows' own: the buttons, the icon, the
    // foreground flag. A box without owner gets the task-modal flag so that
    // it still comes first for the player.
    UINT flags = (style & (MB_YESNO | MB_ICONWARNING | MB_SETFOREGROUND)) | (ownerWindow ? 0 : MB_TASKMODAL);
    recorder::boxOpened(caption ? caption : "", text ? text : "");
    ++state.nesting;
    drainTimers();  // a tick already waiting runs under the box
    const int result = MessageBoxW(ownerWindow, wide(text).c_str(), wide(caption).c_str(), flags);
    --state.nesting;
    const bool yesNo = (style & 0xF) == MB_YESNO;
    const int32_t answer = yesNo ? (result == IDYES ? IDYES : IDNO) : IDOK;
    recorder::boxAnswered(answer);
    log(std::string("messagebox answer=") + (answer == IDYES ? "Yes" : answer == IDNO ? "No" : "OK"));
    return answer;
}

// --- modeless dialogs -------------------------------------------------------------

Window* createDialog(const DialogTemplate& t, Window* owner, DialogProc proc) {
    if (!proc) return nullptr;
    state.windows.push_back(std::make_unique<Window>());
    Window* window = state.windows.back().get();
    window->dialogProc = proc;
    window->dialogTemplate = &t;
    log("dialog create " + std::to_string(t.id) + " \"" + t.caption + "\"");
    TemplateBuilder builder;
    buildTemplate(t, builder);
    HWND ownerWindow = owner && owner->alive ? owner->hwnd : nullptr;
    HWND hwnd = CreateDialogIndirectParamW(instance(), static_cast<LPCDLGTEMPLATEW>(builder.data()), ownerWindow,
                                           dialogProc, reinterpret_cast<LPARAM>(window));
    if (!hwnd) {
        window->alive = false;
        return nullptr;
    }
    if (!t.centred && ownerWindow) {
        // Placed by the window system: over the middle of its owner.
        RECT o{}, d{};
        GetWindowRect(ownerWindow, &o);
        GetWindowRect(hwnd, &d);
        const int w = d.right - d.left, h = d.bottom - d.top;
        SetWindowPos(hwnd, nullptr, std::max(0L, (o.left + o.right - w) / 2), std::max(0L, (o.top + o.bottom - h) / 2),
                     0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return window;
}

namespace {

// The message box open right now: a dialog window of this thread that is
// none of the game's dialogs.
HWND openMessageBox() {
    struct Search {
        HWND found = nullptr;
    } search;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM context) -> BOOL {
            wchar_t name[16] = {};
            if (!IsWindowVisible(hwnd) || !GetClassNameW(hwnd, name, 16) || std::wcscmp(name, L"#32770") != 0)
                return TRUE;
            for (const auto& window : state.windows)
                if (window->hwnd == hwnd) return TRUE;
            reinterpret_cast<Search*>(context)->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

void showDialog(Window* dialog) {
    if (!dialog || !dialog->alive || !dialog->hwnd) return;
    // A dialog opened by a tick under a message box must not cover the box:
    // the box is what the player has to answer first, and the dialog takes
    // no input until then. It goes in right below the box.
    HWND box = state.nesting > 0 ? openMessageBox() : nullptr;
    ShowWindow(dialog->hwnd, box ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL);
    if (box) {
        SetWindowPos(dialog->hwnd, box, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        // Wine restacks its X windows only when the topmost band changes.
        SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(box, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    logClientRect(dialog);
}

void endDialog(Window* dialog, int32_t result) {
    if (!dialog || !dialog->alive || !dialog->hwnd) return;
    dialog->alive = false;
    log("dialog end " + std::to_string(dialog->dialogTemplate->id) + " result " + std::to_string(result));
    DestroyWindow(dialog->hwnd);
    dialog->hwnd = nullptr;
    if (dialog->canvas) destroyCanvas(dialog->canvas);
    dialog->canvas = nullptr;
    if (state.main && state.main->alive && GetForegroundWindow() == nullptr) SetForegroundWindow(state.main->hwnd);
}

void getDialogItemText(Window* dialog, int controlId, char* buffer, int bufferSize) {
    if (!buffer || bufferSize <= 0) return;
    buffer[0] = '\0';
    HWND item = control(dialog, controlId);
    if (!item) return;
    const int length = GetWindowTextLengthW(item);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(item, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    // At most bufferSize - 1 bytes, never cutting a character in half.
    const std::string utf8 = wideToUtf8(text);
    std::size_t n = utf8.size();
    if (n > static_cast<std::size_t>(bufferSize - 1)) {
        n = static_cast<std::size_t>(bufferSize - 1);
        while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
    }
    std::memcpy(buffer, utf8.data(), n);
    buffer[n] = '\0';
}

void checkRadioButton(Window* dialog, int firstId, int lastId, int checkId) {
    if (!dialog || !dialog->alive || !dialog->hwnd) return;
    CheckRadioButton(dialog->hwnd, firstId, lastId, checkId);
}

void checkDialogButton(Window* dialog, int controlId, int checked) {
    if (!dialog || !dialog->alive || !dialog->hwnd) return;
    CheckDlgButton(dialog->hwnd, controlId, checked ? BST_CHECKED : BST_UNCHECKED);
}

// --- dialog text ---------------------------------------------------------------------

DrawContext* getWindowDC(Window* window) {
    if (!window || !window->alive || !window->hwnd || !window->dialogProc) return nullptr;
    if (!window->canvas) {
        RECT r{};
        GetClientRect(window->hwnd, &r);
        const COLORREF face = GetSysColor(COLOR_BTNFACE);  // 0x00BBGGRR
        const uint32_t xrgb = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
        window->canvas = createCanvas(std::max(1L, r.right), std::max(1L, r.bottom), xrgb);
    }
    DrawContext* context = nullptr;
    if (!window->canvas || displayFailed(getDC(window->canvas, &context))) return nullptr;
    return context;
}

void releaseWindowDC(Window* window, DrawContext* context) {
    if (!window || !window->canvas) return;
    releaseDC(window->canvas, context);
    if (!window->painting && window->hwnd) InvalidateRect(window->hwnd, nullptr, FALSE);
}

// --- help -----------------------------------------------------------------------------

// A plain read-only window with the help file's text: the system's own help
// viewer for these files is gone from Windows.
void showHelp(Window* owner, const char* fileName, uint32_t command) {
    log("help " + std::string(fileName ? fileName : "") + " command " + std::to_string(command));
    const std::wstring name = wide(fileName);
    if (!state.help) {
        state.help = CreateWindowExW(0, HELP_CLASS, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 560, 480,
                                     nullptr, nullptr, instance(), nullptr);
        if (!state.help) return;
        state.helpText = CreateWindowExW(0, L"EDIT", L"",
                                         WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                             ES_AUTOVSCROLL,
                                         0, 0, 0, 0, state.help, nullptr, instance(), nullptr);
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            state.helpFont = CreateFontIndirectW(&metrics.lfMessageFont);
        if (state.helpFont) SendMessageW(state.helpText, WM_SETFONT, reinterpret_cast<WPARAM>(state.helpFont), TRUE);
        SendMessageW(state.helpText, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(8, 8));
        RECT client{};
        GetClientRect(state.help, &client);
        MoveWindow(state.helpText, 0, 0, client.right, client.bottom, TRUE);
    }
    std::string html;
    std::wstring text = readWholeFile(name, html)
                            ? utf8ToWide(helpPlainText(html))
                            : L"ヘルプファイル " + name + L" が見つかりません。";
    // The edit control breaks lines at CR LF only.
    std::wstring shown;
    for (wchar_t c : text) {
        if (c == L'\n') shown += L'\r';
        shown += c;
    }
    SetWindowTextW(state.helpText, shown.c_str());
    SetWindowTextW(state.help, name.c_str());
    ShowWindow(state.help, SW_SHOWNORMAL);
    SetForegroundWindow(state.help);
    (void)owner;
}

void sleepMs(int milliseconds) { Sleep(static_cast<DWORD>(std::max(0, milliseconds))); }

// --- recording, the window's scale, the session's end -----------------------------------

bool startRecording(const std::string& fileName, const std::string& header) {
    return recorder::start(fileName, header);
}

void stopRecording() { recorder::stop(); }

int windowScale() {
    if (state.scale == 0) {
        const int remembered = rememberedScale();
        state.scale = remembered ? remembered : scaleForScreen();
    }
    return state.scale;
}

bool rememberWindowScale(int by) {
    if (by < 1 || by > MAX_WINDOW_SCALE) return false;
    state.scale = by;
    const DWORD value = static_cast<DWORD>(by);
    return RegSetKeyValueW(HKEY_CURRENT_USER, SETTINGS_KEY, SCALE_VALUE, REG_DWORD, &value, sizeof value) ==
           ERROR_SUCCESS;
}

void setSessionEndHandler(SessionEndHandler handler) { state.sessionEnd = handler; }

}  // namespace platform
