// The smallest Qt Widgets program that opens a window of the game's size and
// paints it every 100 ms: the yardstick for the game's start-up time and
// memory (bench/startup.py). It paints one colour that is not black, so a
// probe from outside sees its first frame arrive. With PACHINKO_FRAME_LOG
// set it also writes one line to stderr when its first frame is painted,
// and with PACHINKO_EXIT_AFTER_FRAMES=N it quits after the N-th paint.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

class EmptyWindow : public QWidget {
public:
    EmptyWindow() {
        const char* log = std::getenv("PACHINKO_FRAME_LOG");
        logFirstFrame_ = log && *log;
        if (const char* n = std::getenv("PACHINKO_EXIT_AFTER_FRAMES")) exitAfter_ = std::atoi(n);
        setWindowTitle(QStringLiteral("minimal_qt"));
        // The classic game window's outer size.
        setFixedSize(640, 460);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), QColor(0x33, 0x66, 0x99));
        ++frames_;
        if (frames_ == 1 && logFirstFrame_) {
            std::fputs("minimal_qt: first frame\n", stderr);
            std::fflush(stderr);
        }
        if (exitAfter_ > 0 && frames_ == exitAfter_) QTimer::singleShot(0, qApp, &QApplication::quit);
    }

private:
    bool logFirstFrame_ = false;
    int exitAfter_ = 0;
    int frames_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    EmptyWindow window;
    window.show();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &window, [&window] { window.update(); });
    timer.start(100);
    return app.exec();
}
