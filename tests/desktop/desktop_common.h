#pragma once
// Helpers for the tests that run on a real X server (Xvfb) with the toolkit's
// own platform layer: waiting for a modal window, real key presses through
// the X server, the window manager's close request, and other programs.
#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <QtTest>
#include <cstring>
#include <functional>
#include <memory>

#include <xcb/xcb.h>

namespace desktop {

// Runs `then` on the first modal window of type T once it is shown and has
// the keyboard focus, from inside the nested event loop that shows it. Gives
// up (and records why in `failure`) after `tries` polls 50 ms apart.
template <class T>
void whenModal(std::function<void(T*)> then, QString* failure, int tries = 400) {
    auto poll = std::make_shared<std::function<void(int)>>();
    *poll = [then, failure, poll](int left) {
        T* w = qobject_cast<T*>(QApplication::activeModalWidget());
        if (w && w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed() && w->isActiveWindow()) {
            QPointer<T> answered(w);
            then(w);
            // An answer that never arrives must not leave the test waiting
            // for ever: the window is closed and the failure recorded.
            QTimer::singleShot(20000, [answered, failure] {
                if (answered && answered->isVisible()) {
                    if (failure) *failure = QStringLiteral("the window stayed open after the answer");
                    answered->close();
                }
            });
            return;
        }
        if (left <= 0) {
            if (failure) *failure = QStringLiteral("no active modal %1 appeared").arg(T::staticMetaObject.className());
            if (QWidget* m = QApplication::activeModalWidget()) m->close();
            return;
        }
        QTimer::singleShot(50, [poll, left] { (*poll)(left - 1); });
    };
    QTimer::singleShot(0, [poll, tries] { (*poll)(tries); });
}

// Runs a program to its end while this process keeps serving its own events
// (the clipboard owner must answer while another program reads from it).
struct Run {
    int exitCode = -1;
    QByteArray out, err;
    bool finished = false;
};
inline Run run(const QString& program, const QStringList& args, const QByteArray& input = {}) {
    Run r;
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(10000)) return r;
    if (!input.isEmpty()) p.write(input);
    p.closeWriteChannel();
    QElapsedTimer bound;
    bound.start();
    // Bounded: a program that never ends is a failure, not a hang.
    while (p.state() != QProcess::NotRunning && bound.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        p.waitForFinished(20);
    }
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(5000);
        return r;
    }
    r.finished = p.exitStatus() == QProcess::NormalExit;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// A key pressed on the real keyboard, delivered by the X server to the window
// that has the focus (xdotool through the XTEST extension).
inline bool realKey(const QString& keys) {
    return QProcess::execute(QStringLiteral("xdotool"),
                             {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys}) == 0;
}
inline bool realType(const QString& text) {
    return QProcess::execute(QStringLiteral("xdotool"),
                             {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text}) == 0;
}

// What a window manager sends when the user clicks a window's close button:
// a WM_DELETE_WINDOW message of the WM_PROTOCOLS protocol.
inline bool closeRequest(QWidget* window) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !window->windowHandle()) return false;
    xcb_connection_t* c = x11->connection();
    auto atom = [c](const char* name) {
        xcb_intern_atom_reply_t* r =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(r);
        return a;
    };
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = xcb_window_t(window->windowHandle()->winId());
    e.type = atom("WM_PROTOCOLS");
    e.data.data32[0] = atom("WM_DELETE_WINDOW");
    e.data.data32[1] = XCB_CURRENT_TIME;
    if (e.type == XCB_ATOM_NONE || e.data.data32[0] == XCB_ATOM_NONE) return false;
    xcb_send_event(c, 0, e.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
    xcb_flush(c);
    return true;
}

}  // namespace desktop
