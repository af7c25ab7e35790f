// Control of the headless backend: the window services without a window.
// Ticks, input and answers come from the caller (a test or the scripted
// runner); everything the game shows is recorded in the event log.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/window.h"

namespace headless {

// A fresh platform: no windows, no timers, empty queue and event log, no
// pending answers, no injected faults (display and sound included).
void reset();

// The main window once created, else null.
platform::Window* mainWindow();

// Messages to the main window: post() queues, send() dispatches at once.
void post(uint32_t message, uint32_t wParam = 0, uint32_t lParam = 0);
void send(uint32_t message, uint32_t wParam = 0, uint32_t lParam = 0);
// n timer messages of timer 1, each dispatched at once (as the timer firing).
void tick(int n = 1);

// --- message boxes ---------------------------------------------------------
struct MessageBoxInfo {
    std::string text;
    std::string caption;
    uint32_t style = 0;
    bool owned = false;  // owned by the main window
};
// Every box opened since reset, in order.
const std::vector<MessageBoxInfo>& messageBoxes();
// Answers for the next boxes, in order (IDOK, IDYES, IDNO). Each box stays
// open for ticksWhileOpen ticks of timer 1 before it is answered: the window
// keeps ticking under it, as on a real desktop.
void queueAnswer(int32_t answer, int ticksWhileOpen = 0);
// A handler decides the answer of each box for which no answer is queued; it
// may run ticks meanwhile (headless::tick), nested inside the box. Without a
// queued answer or a handler the box gets its default button at once (OK, or
// Yes for a yes/no box), and the event log says it was unanswered.
using MessageBoxHandler = std::function<int32_t(const MessageBoxInfo&)>;
void setMessageBoxHandler(MessageBoxHandler handler);
int32_t defaultAnswer(uint32_t style);

// --- the message loop --------------------------------------------------------
// Called whenever the loop runs out of messages; it may post messages or queue
// answers and returns false when it has nothing more. Once the feeder is
// exhausted the main window is sent a close message (an orderly end, as a
// player closing the window).
using Feeder = std::function<bool()>;
void setFeeder(Feeder feeder);

// SIGTERM, SIGHUP and SIGINT end the game as the close box does, before the
// feeder is asked again: the orderly shutdown saves. For the programs, not
// the tests. endRequested() says whether such a signal came.
void endOnSignals();
bool endRequested();

// --- observation and faults ----------------------------------------------------
// The last state enableMenuItem gave an item (MF_ENABLED or MF_GRAYED); -1 if never set.
int32_t menuItemState(uint32_t commandId);
// The period of a running timer, or 0.
int timerPeriod(uint32_t id);
// The next registerWindowClass fails.
void failWindowClass();

// --- dialogs ---------------------------------------------------------------------
struct DialogInfo {
    platform::Window* window = nullptr;
    int templateId = 0;
    bool visible = false;
    bool ended = false;
};
// Every dialog created since reset, in order.
std::vector<DialogInfo> dialogs();
// The last dialog created from a template that is still open, or null.
platform::Window* findDialog(int templateId);
void typeText(platform::Window* dialog, int controlId, const std::string& text);
// A click on a button: check boxes and radio buttons change their mark first.
void click(platform::Window* dialog, int controlId);
// The close box.
void closeDialog(platform::Window* dialog);
// A check box's or radio button's mark.
int isChecked(platform::Window* dialog, int controlId);

}  // namespace headless
