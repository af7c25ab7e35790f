// Window services on Qt Widgets.
//
// Qt owns the event loop; the game's own message loop drives it. Qt events
// (keys, mouse, menu, close, the timer) become messages in a queue that
// getMessage hands to the game. While a message box (or any nested Qt loop)
// is open, the game's loop is suspended inside it, so the queue is drained
// from a posted call instead: ticks go on under the box.
//
// The timer's slot only queues a message and returns. Dispatching the tick
// from inside the slot would break the tick stream: Qt does not deliver a
// timer's timeout again while that timer's own slot sits in a nested event
// loop (a message box opened during the tick).
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSessionManager>
#include <QSettings>
#include <QSocketNotifier>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "platform/display.h"
#include "platform/events.h"
#include "platform/qt_backend.h"
#include "platform/screen.h"
#include "platform/window.h"
#include "recorder.h"

namespace platform {

class GameArea;
class MainWindowWidget;
class DialogWidget;

struct Window {
    WindowProc proc = nullptr;
    DialogProc dialogProc = nullptr;
    const DialogTemplate* dialogTemplate = nullptr;
    MainWindowWidget* main = nullptr;
    DialogWidget* dialog = nullptr;
    bool alive = true;
    bool invalid = false;
};

namespace {

struct QtState {
    std::map<std::string, WindowClass> classes;
    std::vector<std::unique_ptr<Window>> windows;
    Window* main = nullptr;
    std::deque<Message> queue;
    bool quitPosted = false;
    int quitCode = 0;
    int nesting = 0;  // nested Qt loops (message boxes) open right now
    bool drainScheduled = false;
    std::map<uint32_t, QAction*> actions;
    std::vector<QTimer*> timers;
    QTextBrowser* help = nullptr;
    std::vector<QMessageBox*> openBoxes;  // innermost last
    bool ending = false;                  // the desktop asked the game to end
    bool pictureShown = false;            // the game area has painted a picture of the game
    bool firstPresentSeen = false;
};

QtState state;

void dispatchNow(const Message& message) { dispatchMessage(message); }

// Inside a nested loop nobody calls getMessage: hand queued timer messages
// to the game from a posted call, which any Qt loop delivers. Under a box the
// game gets ticks only; input that was already queued when the box opened
// waits for the box to close, so a session replays the same from a script,
// where nothing but ticks can happen under a box.
void scheduleDrain() {
    if (state.nesting == 0 || state.drainScheduled || !qApp) return;
    state.drainScheduled = true;
    QMetaObject::invokeMethod(
        qApp,
        [] {
            state.drainScheduled = false;
            while (state.nesting > 0) {
                auto timer = std::find_if(state.queue.begin(), state.queue.end(),
                                          [](const Message& m) { return m.message == MSG_TIMER; });
                if (timer == state.queue.end()) break;
                Message message = *timer;
                state.queue.erase(timer);
                dispatchNow(message);
            }
        },
        Qt::QueuedConnection);
}

void post(Window* window, uint32_t message, uint32_t wParam, uint32_t lParam) {
    if (!window || !window->alive) return;
    // Like the window system, keep at most one timer message waiting, so a
    // slow tick never builds a backlog.
    if (message == MSG_TIMER)
        for (const Message& waiting : state.queue)
            if (waiting.window == window && waiting.message == MSG_TIMER && waiting.wParam == wParam) return;
    state.queue.push_back({window, message, wParam, lParam});
    scheduleDrain();
}

// The answer a box gets when the session ends under it: the one that does
// nothing the box asks about (No), or OK where OK is all there is.
int32_t cautiousAnswer(uint32_t style) { return (style & 0xF) == MB_YESNO ? IDNO : IDOK; }

// The desktop ends the game (a signal, the session manager): as the close box
// does, through the game's own close message, so that the orderly shutdown
// saves. Boxes open now are answered at once, since nobody is left to answer
// them and the close waits behind them; a request while ending changes nothing.
void endSession() {
    if (state.ending) return;
    state.ending = true;
    logEvent("session end");
    for (QMessageBox* box : state.openBoxes) box->done(QMessageBox::No);
    post(state.main, MSG_CLOSE, 0, 0);
}

// The signal handler may only write to the pipe; the event loop reads it.
int signalPipe[2] = {-1, -1};

void onEndSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds the news.
    [[maybe_unused]] ssize_t written = write(signalPipe[1], &byte, 1);
    errno = saved;
}

// A message as a line of the pachinko-headless script; empty for messages the
// script does not carry (they change nothing a replay would see).
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
        // The runner closes the window when its script runs out.
        case MSG_CLOSE: return "# the window's close box";
        default: return {};
    }
}

// The game area's magnification, remembered in the desktop's settings.
int currentScale = 0;  // 0: not read yet

// Organisation and application "pachinko": ~/.config/pachinko/pachinko.conf.
std::unique_ptr<QSettings> settings() {
    return std::make_unique<QSettings>(QStringLiteral("pachinko"), QStringLiteral("pachinko"));
}

// Pointer positions in game pixels: divided by the scale, rounding down, so
// that a release left of the window stays left of it.
int toGame(int pixel, int by) { return pixel >= 0 ? pixel / by : -((-pixel + by - 1) / by); }

uint32_t virtualKey(const QKeyEvent* event) {
    int key = event->key();
    bool keypad = event->modifiers() & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return (keypad ? VK_NUMPAD0 : VK_0) + static_cast<uint32_t>(key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 0x41 + static_cast<uint32_t>(key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return VK_F1 + static_cast<uint32_t>(key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Left: return VK_LEFT;
        case Qt::Key_Up: return VK_UP;
        case Qt::Key_Right: return VK_RIGHT;
        case Qt::Key_Down: return VK_DOWN;
        case Qt::Key_Escape: return VK_ESCAPE;
        case Qt::Key_Backspace: return VK_BACK;
        case Qt::Key_Insert: return VK_INSERT;
        case Qt::Key_Delete: return VK_DELETE;
        case Qt::Key_Return:
        case Qt::Key_Enter: return 0x0D;
        case Qt::Key_Space: return 0x20;
        default: return 0;
    }
}

}  // namespace

// The 640 × 416 game area: shows the primary surface, turns keys and the
// pointer into messages.
class GameArea : public QWidget {
public:
    GameArea(Window* owner, int by) : window_(owner), scale_(by) {
        setFixedSize(640 * by, 416 * by);
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        ScreenPixels pixels;
        if (primaryPixels(pixels)) {
            state.pictureShown = true;
            QImage image(reinterpret_cast<const uchar*>(pixels.pixels), pixels.width, pixels.height,
                         pixels.stride * 4, QImage::Format_RGB32);
            // Without smooth transformation Qt scales by nearest neighbour:
            // every game pixel becomes a sharp square.
            painter.drawImage(QRect(0, 0, pixels.width * scale_, pixels.height * scale_), image);
        } else {
            painter.fillRect(rect(), Qt::black);
        }
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (uint32_t key = virtualKey(event)) post(window_, MSG_KEYDOWN, key, 0);
    }
    void keyReleaseEvent(QKeyEvent* event) override {
        // Auto-repeat on X11 sends release/press pairs; a held key is one press
        // stream and one release.
        if (event->isAutoRepeat()) return;
        if (uint32_t key = virtualKey(event)) post(window_, MSG_KEYUP, key, 0);
    }
    void mouseMoveEvent(QMouseEvent* event) override { post(window_, MSG_MOUSEMOVE, 0, position(event)); }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) post(window_, MSG_LBUTTONDOWN, 1, position(event));
        if (event->button() == Qt::RightButton) post(window_, MSG_RBUTTONDOWN, 2, position(event));
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) post(window_, MSG_LBUTTONUP, 0, position(event));
    }

private:
    uint32_t position(QMouseEvent* event) const {
        QPoint p = event->position().toPoint();
        return packPoint(toGame(p.x(), scale_), toGame(p.y(), scale_));
    }
    Window* window_;
    int scale_;
};

class MainWindowWidget : public QMainWindow {
public:
    explicit MainWindowWidget(Window* owner) : window_(owner) {
        area = new GameArea(owner, windowScale());
        setCentralWidget(area);
        layout()->setSizeConstraint(QLayout::SetFixedSize);
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                       Qt::MSWindowsFixedSizeDialogHint);
    }
    GameArea* area = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override {
        // The game decides: the close message goes through its procedure.
        event->ignore();
        post(window_, MSG_CLOSE, 0, 0);
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange || event->type() == QEvent::ActivationChange) {
            uint32_t minimized = (windowState() & Qt::WindowMinimized) ? 1u : 0u;
            post(window_, MSG_ACTIVATE, (minimized << 16) | (isActiveWindow() ? 1u : 0u), 0);
        }
        QMainWindow::changeEvent(event);
    }

private:
    Window* window_;
};

class DialogWidget : public QDialog {
public:
    DialogWidget(Window* owner, QWidget* parent) : QDialog(parent), window_(owner) {}
    ~DialogWidget() override { destroyCanvas(canvas); }
    std::map<int, QWidget*> controls;
    // The client area the game writes its text on, shown under the controls.
    Surface* canvas = nullptr;
    bool painting = false;

protected:
    // The close box and Escape reach the procedure through the queue, in
    // order with the clicks.
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        post(window_, MSG_COMMAND, IDCANCEL, 0);
    }
    void reject() override { post(window_, MSG_COMMAND, IDCANCEL, 0); }
    void paintEvent(QPaintEvent* event) override {
        QDialog::paintEvent(event);
        // The game draws its text on the canvas; then the canvas is shown.
        painting = true;
        if (window_->alive) window_->dialogProc(window_, MSG_PAINT, 0, 0);
        painting = false;
        SurfaceDesc desc;
        if (!canvas || displayFailed(lockSurface(canvas, nullptr, desc, DDLOCK_WAIT))) return;
        QImage image(static_cast<const uchar*>(desc.pixels), desc.width, desc.height, desc.pitch,
                     QImage::Format_RGB32);
        QPainter(this).drawImage(0, 0, image);
        unlockSurface(canvas, nullptr);
    }

private:
    Window* window_;
};

namespace {

QMainWindow* ownerWidget(Window* owner) { return owner && owner->alive && owner->main ? owner->main : nullptr; }

QString text(const char* utf8) { return QString::fromUtf8(utf8 ? utf8 : ""); }

// Qt shows "&&" as "&"; the game's texts use "&" only for mnemonics.
QString menuText(const char* utf8) { return text(utf8); }

// The dialog templates name a Windows font; its free stand-in is IPA P Gothic.
const QString DIALOG_FONT_FAMILY = QStringLiteral("IPAPGothic");

QFont dialogFont(const DialogTemplate& t) {
    QFont font(DIALOG_FONT_FAMILY);
    font.setPointSize(t.fontPoints > 0 ? t.fontPoints : 9);
    return font;
}

// The desktop's own style, less one icon: a menu bar loads the icon of its
// overflow button as it is made, reading a set of pictures before the first
// frame, and the game's menu bar never overflows.
class GameStyle : public QProxyStyle {
public:
    explicit GameStyle(const QString& key) : QProxyStyle(key) {}
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override {
        if (which == SP_ToolBarHorizontalExtensionButton) return QIcon();
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

}  // namespace

void initApplication(int& argc, char** argv) {
    if (!QCoreApplication::instance()) new QApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pachinko"));
    QApplication::setStyle(new GameStyle(QApplication::style()->name()));
    // Menus and boxes are in the dialogs' Japanese font, fully hinted: the
    // crisp look of the classic window. A Latin default font would have each
    // Japanese word looked up in a second font, and the desktop's usual light
    // hinting reads about a megabyte more of the font into memory.
    QFont font = QApplication::font();
    font.setFamilies({DIALOG_FONT_FAMILY});
    font.setHintingPreference(QFont::PreferFullHinting);
    QApplication::setFont(font);
}

bool registerWindowClass(const WindowClass& windowClass) {
    if (!windowClass.name || !windowClass.proc) return false;
    state.classes[windowClass.name] = windowClass;
    return true;
}

namespace {

// The longest the first picture may hold up what follows it.
constexpr int FIRST_PICTURE_WAIT_MS = 250;

// Puts the game's first picture on screen before start-up goes on (the
// slower parts of it come after the first frame): Qt's events are processed,
// which maps and exposes the window and paints it, until the game area has
// painted that picture, at most FIRST_PICTURE_WAIT_MS. Nothing is dispatched
// meanwhile: input and the timer only queue messages, handed out in their
// order when the game's loop starts.
void showFirstPicture(Window* window) {
    if (state.nesting > 0 || !window->main->isVisible()) return;
    QElapsedTimer clock;
    clock.start();
    while (!state.pictureShown && !state.quitPosted && clock.elapsed() < FIRST_PICTURE_WAIT_MS)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

}  // namespace

Window* createWindow(const char* className, const char* caption, int x, int y, int width, int height) {
    auto found = state.classes.find(className ? className : "");
    if (found == state.classes.end()) return nullptr;
    const WindowClass& windowClass = found->second;
    state.windows.push_back(std::make_unique<Window>());
    Window* window = state.windows.back().get();
    window->proc = windowClass.proc;
    window->main = new MainWindowWidget(window);
    window->main->setWindowTitle(text(caption));
    if (windowClass.iconFile && QFile::exists(QString::fromUtf8(windowClass.iconFile)))
        window->main->setWindowIcon(QIcon(QString::fromUtf8(windowClass.iconFile)));
    if (const MenuTemplate* menu = windowClass.menu) {
        for (int p = 0; p < menu->popupCount; ++p) {
            const MenuPopupTemplate& popup = menu->popups[p];
            QMenu* qmenu = window->main->menuBar()->addMenu(menuText(popup.text));
            for (int i = 0; i < popup.itemCount; ++i) {
                const MenuItemTemplate& item = popup.items[i];
                if (!item.text) {
                    qmenu->addSeparator();
                    continue;
                }
                QAction* action = qmenu->addAction(menuText(item.text));
                uint32_t id = item.id;
                state.actions[id] = action;
                QObject::connect(action, &QAction::triggered, [window, id] { post(window, MSG_COMMAND, id, 0); });
            }
            uint32_t popupIndex = static_cast<uint32_t>(p);
            // The items are greyed right before the pop-up shows.
            QObject::connect(qmenu, &QMenu::aboutToShow, [window, popupIndex] {
                dispatchNow({window, MSG_INITMENUPOPUP, popupIndex, 0});
            });
        }
    }
    // The outer size of the classic window is 640 × 460; ours is whatever the
    // frame and the menu bar take around the fixed game area, centred alike.
    window->main->move(x, y);
    (void)width;
    (void)height;
    state.main = window;
    window->proc(window, MSG_CREATE, 0, 0);
    if (state.ending) post(window, MSG_CLOSE, 0, 0);  // asked to end while starting
    auto listener = [](void* context) {
        auto* w = static_cast<Window*>(context);
        if (!w->alive || !w->main) return;
        w->main->area->update();
        if (!state.firstPresentSeen) {
            state.firstPresentSeen = true;
            showFirstPicture(w);
        }
    };
    setPresentListener(listener, window);
    return window;
}

void showWindow(Window* window, int) {
    if (!window || !window->alive || !window->main) return;
    window->main->show();
    window->main->area->setFocus();
    window->proc(window, MSG_ACTIVATE, 1, 0);
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
    for (QTimer* timer : state.timers) timer->stop();
    if (window == state.main) setPresentListener(nullptr, nullptr);
    window->main->hide();
    window->proc(window, MSG_DESTROY, 0, 0);
    window->main->deleteLater();
}

int32_t defaultWindowProc(Window* window, uint32_t message, uint32_t, uint32_t) {
    if (message == MSG_CLOSE) destroyWindow(window);
    return 0;
}

void beginPaint(Window*) {}
void endPaint(Window*) {}
Point clientToScreen(Window*, Point client) { return client; }

Point screenSize() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {640, 460};
    QRect geometry = screen->geometry();
    return {geometry.width(), geometry.height()};
}

void postQuitMessage(int code) {
    state.quitPosted = true;
    state.quitCode = code;
}

bool peekMessage() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !state.queue.empty() || state.quitPosted;
}

bool getMessage(Message& message) {
    while (state.queue.empty() && !state.quitPosted)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
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
}

void setTimer(Window* window, uint32_t id, int periodMs) {
    if (!window || !window->alive) return;
    auto* timer = new QTimer(window->main);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, [window, id] { post(window, MSG_TIMER, id, 0); });
    timer->start(periodMs);
    state.timers.push_back(timer);
}

void enableMenuItem(uint32_t, uint32_t commandId, uint32_t flags) {
    auto found = state.actions.find(commandId);
    if (found != state.actions.end()) found->second->setEnabled((flags & MF_GRAYED) == 0);
}

int32_t messageBox(Window* owner, const char* message, const char* caption, uint32_t style) {
    logEvent("messagebox owner=" + std::string(owner ? "main" : "none") + " caption=\"" + (caption ? caption : "") +
             "\" text=\"" + (message ? message : "") + "\"");
    if (state.ending) {
        const int32_t answer = cautiousAnswer(style);
        recorder::boxOpened(caption ? caption : "", message ? message : "");
        recorder::boxAnswered(answer);
        return answer;
    }
    QMessageBox box(ownerWidget(owner));
    box.setWindowTitle(text(caption));
    box.setText(text(message));
    box.setIcon((style & 0xF0) == MB_ICONWARNING ? QMessageBox::Warning : QMessageBox::NoIcon);
    bool yesNo = (style & 0xF) == MB_YESNO;
    box.setStandardButtons(yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok);
    box.setDefaultButton(yesNo ? QMessageBox::Yes : QMessageBox::Ok);
    if (style & MB_SETFOREGROUND) {
        box.show();
        box.raise();
        box.activateWindow();
    }
    recorder::boxOpened(caption ? caption : "", message ? message : "");
    ++state.nesting;
    state.openBoxes.push_back(&box);
    scheduleDrain();  // a tick already queued runs under the box
    int result = box.exec();
    state.openBoxes.pop_back();
    --state.nesting;
    int32_t answer = yesNo ? (result == QMessageBox::Yes ? IDYES : IDNO) : IDOK;
    recorder::boxAnswered(answer);
    logEvent(std::string("messagebox answer=") + (answer == IDYES ? "Yes" : answer == IDNO ? "No" : "OK"));
    return answer;
}

Window* createDialog(const DialogTemplate& t, Window* owner, DialogProc proc) {
    if (!proc) return nullptr;
    state.windows.push_back(std::make_unique<Window>());
    Window* window = state.windows.back().get();
    window->dialogProc = proc;
    window->dialogTemplate = &t;
    auto* dialog = new DialogWidget(window, ownerWidget(owner));
    window->dialog = dialog;
    dialog->setWindowTitle(text(t.caption));
    QFont font = dialogFont(t);
    dialog->setFont(font);
    // Dialog units: a quarter of the font's average character width across,
    // an eighth of its height down.
    QFontMetrics metrics(font);
    double unitX = metrics.horizontalAdvance(
                       QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                   52.0 / 4.0;
    double unitY = metrics.height() / 8.0;
    auto px = [&](int units, double unit) { return static_cast<int>(units * unit + 0.5); };
    dialog->setFixedSize(px(t.width, unitX), px(t.height, unitY));
    for (int i = 0; i < t.controlCount; ++i) {
        const ControlTemplate& c = t.controls[i];
        QWidget* widget = nullptr;
        int id = c.id;
        switch (c.kind) {
            case ControlKind::PushButton: {
                auto* button = new QPushButton(text(c.text), dialog);
                button->setAutoDefault(false);
                QObject::connect(button, &QPushButton::clicked,
                                 [window, id] { post(window, MSG_COMMAND, static_cast<uint32_t>(id), 0); });
                widget = button;
                break;
            }
            case ControlKind::Edit: {
                auto* edit = new QLineEdit(dialog);
                const int templateId = t.id;
                QObject::connect(edit, &QLineEdit::textEdited, [templateId, id](const QString& typed) {
                    recorder::typed(templateId, id, typed.toStdString());
                });
                widget = edit;
                break;
            }
            case ControlKind::Label: widget = new QLabel(text(c.text), dialog); break;
            case ControlKind::CheckBox: {
                auto* box = new QCheckBox(text(c.text), dialog);
                QObject::connect(box, &QCheckBox::clicked,
                                 [window, id] { post(window, MSG_COMMAND, static_cast<uint32_t>(id), 0); });
                widget = box;
                break;
            }
            case ControlKind::Radio: {
                auto* radio = new QRadioButton(text(c.text), dialog);
                QObject::connect(radio, &QRadioButton::clicked,
                                 [window, id] { post(window, MSG_COMMAND, static_cast<uint32_t>(id), 0); });
                widget = radio;
                break;
            }
            case ControlKind::Icon: {
                auto* label = new QLabel(dialog);
                if (state.main && state.main->main) label->setPixmap(state.main->main->windowIcon().pixmap(32, 32));
                widget = label;
                break;
            }
            case ControlKind::Frame: {
                auto* frame = new QFrame(dialog);
                frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
                widget = frame;
                break;
            }
        }
        widget->setGeometry(px(c.x, unitX), px(c.y, unitY), px(c.width, unitX), px(c.height, unitY));
        if (id >= 0) dialog->controls[id] = widget;
    }
    if (t.centred) {
        Point screen = screenSize();
        dialog->move((screen.x - dialog->width()) / 2, (screen.y - dialog->height()) / 2);
    }
    logEvent("dialog create " + std::to_string(t.id) + " \"" + t.caption + "\"");
    proc(window, MSG_INITDIALOG, 0, 0);
    return window;
}

void showDialog(Window* dialog) {
    if (!dialog || !dialog->alive || !dialog->dialog) return;
    dialog->dialog->show();
    // A dialog opened by a tick under a message box (the introduction under
    // a box of start-up) must not cover the box: the box is what the player
    // has to answer first, and the dialog takes no input until then.
    if (QWidget* box = QApplication::activeModalWidget()) box->raise();
}

void endDialog(Window* dialog, int32_t result) {
    if (!dialog || !dialog->alive || !dialog->dialog) return;
    dialog->alive = false;
    logEvent("dialog end " + std::to_string(dialog->dialogTemplate->id) + " result " + std::to_string(result));
    dialog->dialog->hide();
    dialog->dialog->deleteLater();
    dialog->dialog = nullptr;
}

void getDialogItemText(Window* dialog, int controlId, char* buffer, int bufferSize) {
    if (!buffer || bufferSize <= 0) return;
    buffer[0] = '\0';
    if (!dialog || !dialog->alive || !dialog->dialog) return;
    auto found = dialog->dialog->controls.find(controlId);
    if (found == dialog->dialog->controls.end()) return;
    auto* edit = qobject_cast<QLineEdit*>(found->second);
    if (!edit) return;
    // At most bufferSize - 1 bytes, never cutting a character in half.
    QByteArray utf8 = edit->text().toUtf8();
    int n = static_cast<int>(utf8.size());
    if (n > bufferSize - 1) {
        n = bufferSize - 1;
        while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
    }
    std::memcpy(buffer, utf8.constData(), static_cast<size_t>(n));
    buffer[n] = '\0';
}

void checkRadioButton(Window* dialog, int firstId, int lastId, int checkId) {
    if (!dialog || !dialog->alive || !dialog->dialog) return;
    for (int id = firstId; id <= lastId; ++id) checkDialogButton(dialog, id, id == checkId ? 1 : 0);
}

void checkDialogButton(Window* dialog, int controlId, int checked) {
    if (!dialog || !dialog->alive || !dialog->dialog) return;
    auto found = dialog->dialog->controls.find(controlId);
    if (found == dialog->dialog->controls.end()) return;
    if (auto* button = qobject_cast<QAbstractButton*>(found->second)) button->setChecked(checked != 0);
}

DrawContext* getWindowDC(Window* window) {
    if (!window || !window->alive || !window->dialog) return nullptr;
    DialogWidget* dialog = window->dialog;
    if (!dialog->canvas) {
        QColor face = dialog->palette().color(QPalette::Window);
        dialog->canvas = createCanvas(dialog->width(), dialog->height(), face.rgb() & 0x00FFFFFFu);
    }
    DrawContext* context = nullptr;
    if (displayFailed(getDC(dialog->canvas, &context))) return nullptr;
    return context;
}

void releaseWindowDC(Window* window, DrawContext* context) {
    if (!window || !window->dialog || !window->dialog->canvas) return;
    releaseDC(window->dialog->canvas, context);
    if (!window->dialog->painting) window->dialog->update();
}

void showHelp(Window* owner, const char* fileName, uint32_t command) {
    logEvent("help " + std::string(fileName ? fileName : "") + " command " + std::to_string(command));
    if (!state.help) {
        state.help = new QTextBrowser();
        state.help->setAttribute(Qt::WA_DeleteOnClose, false);
        state.help->resize(560, 480);
        state.help->setOpenExternalLinks(true);
    }
    QString name = QString::fromUtf8(fileName ? fileName : "");
    QFile file(name);
    if (file.open(QIODevice::ReadOnly)) {
        state.help->setHtml(QString::fromUtf8(file.readAll()));
    } else {
        state.help->setPlainText(QStringLiteral("ヘルプファイル %1 が見つかりません。").arg(name));
    }
    state.help->setWindowTitle(name);
    state.help->show();
    state.help->raise();
}

void endOnSignals() {
    if (signalPipe[0] >= 0 || !qApp) return;
    if (pipe2(signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char bytes[64];
        while (read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        endSession();
    });
    // The handlers stay for the whole run: a signal repeated while the game
    // saves only writes to the pipe again, and nobody reads it any more.
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGHUP, SIGINT}) sigaction(number, &action, nullptr);
    // Logging out: the session manager asks the program to keep its data.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, [](QSessionManager&) { endSession(); });
}

void sleepMs(int milliseconds) { QThread::msleep(static_cast<unsigned long>(milliseconds)); }

// --- observation for the Qt tests --------------------------------------------

QMainWindow* qtMainWindow() { return state.main && state.main->alive ? state.main->main : nullptr; }
QWidget* qtGameArea() { return state.main && state.main->alive ? state.main->main->area : nullptr; }
QDialog* qtDialog(Window* dialog) { return dialog && dialog->alive ? dialog->dialog : nullptr; }

// --- recording and the window's scale ----------------------------------------

bool startRecording(const std::string& fileName, const std::string& header) {
    return recorder::start(fileName, header);
}

void stopRecording() { recorder::stop(); }

int windowScale() {
    if (currentScale == 0) {
        bool ok = false;
        int remembered = settings()->value(QStringLiteral("window/scale"), 1).toInt(&ok);
        currentScale = ok && remembered >= 1 && remembered <= MAX_WINDOW_SCALE ? remembered : 1;
    }
    return currentScale;
}

bool rememberWindowScale(int by) {
    if (by < 1 || by > MAX_WINDOW_SCALE) return false;
    currentScale = by;
    std::unique_ptr<QSettings> remembered = settings();
    remembered->setValue(QStringLiteral("window/scale"), by);
    remembered->sync();
    return remembered->status() == QSettings::NoError;
}

}  // namespace platform
