// Window-system services: the main window, its menu and timer, the message
// loop, message boxes, modeless dialogs and help.
//
// The model is the classic one the game was designed against: messages are
// numbered as on Windows and delivered to the game's own window procedure;
// the timer posts a timer message; repainting sends a paint message at once;
// a message box blocks its caller while the window keeps receiving timer and
// paint messages (so ticks go on underneath). Both backends (Qt and headless)
// implement exactly this header.
#pragma once

#include <cstdint>

#include "platform/resources.h"

namespace platform {

struct Window;       // opaque: the main window or a dialog
struct DrawContext;  // display.h

// Message numbers (the values of the classic window system, so that logs and
// scripts read the same everywhere).
enum : uint32_t {
    MSG_CREATE = 0x0001,
    MSG_DESTROY = 0x0002,
    MSG_ACTIVATE = 0x0006,
    MSG_PAINT = 0x000F,
    MSG_CLOSE = 0x0010,
    MSG_QUIT = 0x0012,
    MSG_QUERYNEWPALETTE = 0x030F,
    MSG_KEYDOWN = 0x0100,
    MSG_KEYUP = 0x0101,
    MSG_INITDIALOG = 0x0110,
    MSG_COMMAND = 0x0111,
    MSG_TIMER = 0x0113,
    MSG_INITMENUPOPUP = 0x0117,
    MSG_MOUSEMOVE = 0x0200,
    MSG_LBUTTONDOWN = 0x0201,
    MSG_LBUTTONUP = 0x0202,
    MSG_RBUTTONDOWN = 0x0204,
};

// Virtual-key codes the game reads.
enum : uint32_t {
    VK_BACK = 0x08,
    VK_ESCAPE = 0x1B,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_0 = 0x30,
    VK_NUMPAD0 = 0x60,
    VK_F1 = 0x70,
    VK_F12 = 0x7B,
};

// Message box styles and answers.
enum : uint32_t {
    MB_OK = 0x0,
    MB_YESNO = 0x4,
    MB_ICONWARNING = 0x30,
    MB_SETFOREGROUND = 0x10000,
};
enum : int32_t { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Menu item states for enableMenuItem.
enum : uint32_t { MF_ENABLED = 0, MF_GRAYED = 1 };

// Help command: open the named file.
enum : uint32_t { HELP_FORCEFILE = 9 };

// Pointer positions travel as one 32-bit word: x in the low 16 bits, y in the
// high 16 bits, each unsigned. A release left of or above the window thus
// arrives as a large coordinate, as the game expects.
constexpr uint32_t packPoint(int x, int y) {
    return (static_cast<uint32_t>(x) & 0xFFFFu) | ((static_cast<uint32_t>(y) & 0xFFFFu) << 16);
}
constexpr int pointX(uint32_t word) { return static_cast<int>(word & 0xFFFFu); }
constexpr int pointY(uint32_t word) { return static_cast<int>(word >> 16); }

using WindowProc = int32_t (*)(Window* window, uint32_t message, uint32_t wParam, uint32_t lParam);
// A dialog procedure answers 1 when it handled the message (the initialisation
// message: 1 = success).
using DialogProc = int32_t (*)(Window* dialog, uint32_t message, uint32_t wParam, uint32_t lParam);

struct Message {
    Window* window = nullptr;
    uint32_t message = 0;
    uint32_t wParam = 0;
    uint32_t lParam = 0;
};

struct Point {
    int x = 0;
    int y = 0;
};

// --- main window -----------------------------------------------------------
// Sets up the backend before anything else (the Qt backend makes its
// application object here; the headless one makes a windowless one for text).
void initApplication(int& argc, char** argv);

struct WindowClass {
    const char* name = nullptr;
    WindowProc proc = nullptr;
    const char* iconFile = nullptr;        // picture file beside the program
    const MenuTemplate* menu = nullptr;    // the window's menu bar
};
bool registerWindowClass(const WindowClass& windowClass);
// Creates the window (outer size width × height at x, y) and sends MSG_CREATE
// before returning. Null when the class is unknown or creation fails.
Window* createWindow(const char* className, const char* caption, int x, int y, int width, int height);
void showWindow(Window* window, int showState);
// Sends MSG_PAINT at once when the window was invalidated.
void updateWindow(Window* window);
void invalidateWindow(Window* window);
// Sends MSG_DESTROY; further use of the window does nothing.
void destroyWindow(Window* window);
int32_t defaultWindowProc(Window* window, uint32_t message, uint32_t wParam, uint32_t lParam);
void beginPaint(Window* window);
void endPaint(Window* window);
// Where the client point lands on the display surface the game presents to.
// The primary surface of our display is the window's game area, so this is
// the point itself.
Point clientToScreen(Window* window, Point client);
// Size of the desktop the window is centred on.
Point screenSize();

// --- message loop ----------------------------------------------------------
void postQuitMessage(int code);
// A message is waiting (nothing is removed).
bool peekMessage();
// Takes the next message, waiting for one; false for the quit message, whose
// code is then in message.wParam.
bool getMessage(Message& message);
void dispatchMessage(const Message& message);

// --- timer -----------------------------------------------------------------
// Posts MSG_TIMER (wParam = id) to the window every periodMs. One stream of
// timer messages per id, also while a message box is open.
void setTimer(Window* window, uint32_t id, int periodMs);

// --- menu ------------------------------------------------------------------
// wParam of MSG_INITMENUPOPUP names the pop-up about to open.
void enableMenuItem(uint32_t popup, uint32_t commandId, uint32_t flags);

// --- message box -----------------------------------------------------------
// Blocks the caller until answered; the window keeps receiving timer and paint
// messages meanwhile. Text and caption are UTF-8. Returns IDOK, IDYES or IDNO.
int32_t messageBox(Window* owner, const char* text, const char* caption, uint32_t style);

// --- modeless dialogs ------------------------------------------------------
// Builds the dialog from its template, sends MSG_INITDIALOG to the procedure
// and returns it hidden. The close box sends MSG_COMMAND with IDCANCEL.
Window* createDialog(const DialogTemplate& dialogTemplate, Window* owner, DialogProc proc);
void showDialog(Window* dialog);
void endDialog(Window* dialog, int32_t result);
// The text of a control, at most bufferSize − 1 bytes, NUL-terminated.
void getDialogItemText(Window* dialog, int controlId, char* buffer, int bufferSize);
void checkRadioButton(Window* dialog, int firstId, int lastId, int checkId);
// Sets a check box's mark (0 or 1).
void checkDialogButton(Window* dialog, int controlId, int checked);

// --- dialog text -------------------------------------------------------------
// A drawing context on a dialog's client area, for opaque text cells in the
// default font (setBkColor, setTextColor and textOut of display.h). Null when
// none can be had; give it back with releaseWindowDC, which shows the text.
DrawContext* getWindowDC(Window* window);
void releaseWindowDC(Window* window, DrawContext* context);

// --- help ------------------------------------------------------------------
void showHelp(Window* owner, const char* fileName, uint32_t command);

// --- pause -----------------------------------------------------------------
void sleepMs(int milliseconds);

}  // namespace platform
