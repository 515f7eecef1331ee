#include "toolkit/qt/desktop/clipboard_handoff.h"

#include "toolkit/qt/desktop/x_atoms.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace toolkit {

namespace {

using namespace std::chrono_literals;

// A manager that has begun asking is given this long between one request of
// its own and the next, and the whole hand-over no more than the cap: a hung
// manager keeps a hidden window a few seconds, never for good.
constexpr auto quiet_limit = 2s;
constexpr auto whole_limit = 20s;

xcb_window_t selection_owner(xcb_connection_t* connection, xcb_atom_t selection)
{
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection),
                                      nullptr),
        &std::free);
    return reply ? reply->owner : XCB_NONE;
}

bool manager_runs(xcb_connection_t* connection)
{
    xcb_atom_t manager = intern_atom(connection, "CLIPBOARD_MANAGER");
    return manager != XCB_NONE && selection_owner(connection, manager) != XCB_NONE;
}

// One hand-over: a window of its own to hear the manager's answer on, read
// from Qt's own event stream, in which Qt's clipboard meanwhile answers the
// manager's requests for the text as it always does.
class HandOver final : public QAbstractNativeEventFilter {
public:
    HandOver(xcb_connection_t* connection, std::function<void()> then)
        : m_connection(connection), m_then(std::move(then))
    {
        m_manager = intern_atom(connection, "CLIPBOARD_MANAGER");
        m_clipboard = intern_atom(connection, "CLIPBOARD");
        const xcb_setup_t* setup = xcb_get_setup(connection);
        xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
        m_window = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        m_quiet.setSingleShot(true);
        m_whole.setSingleShot(true);
        QObject::connect(&m_quiet, &QTimer::timeout, [this] { end(); });
        QObject::connect(&m_whole, &QTimer::timeout, [this] { end(); });
    }
    ~HandOver() override { xcb_destroy_window(m_connection, m_window); }

    void start()
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
        xcb_convert_selection(m_connection, m_window, m_manager,
                              intern_atom(m_connection, "SAVE_TARGETS"),
                              intern_atom(m_connection, "TOBREL_SAVED"), XCB_CURRENT_TIME);
        xcb_flush(m_connection);
        m_quiet.start(quiet_limit);
        m_whole.start(whole_limit);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        auto* event = static_cast<xcb_generic_event_t*>(message);
        switch (event->response_type & 0x7F) {
        case XCB_SELECTION_NOTIFY: {
            auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(event);
            if (notify->requestor == m_window && notify->selection == m_manager) {
                // Later, not inside Qt's own handling of the event.
                QTimer::singleShot(0, [this] { end(); });
                return true;
            }
            break;
        }
        // The manager asking for the text, or taking it in parts: it is
        // still at work.
        case XCB_SELECTION_REQUEST:
            if (reinterpret_cast<xcb_selection_request_event_t*>(event)->selection == m_clipboard)
                m_quiet.start(quiet_limit);
            break;
        case XCB_PROPERTY_NOTIFY:
            if (reinterpret_cast<xcb_property_notify_event_t*>(event)->state == XCB_PROPERTY_DELETE)
                m_quiet.start(quiet_limit);
            break;
        default: break;
        }
        return false;
    }

private:
    void end()
    {
        if (m_ended)
            return;
        m_ended = true;
        m_quiet.stop();
        m_whole.stop();
        QCoreApplication::instance()->removeNativeEventFilter(this);
        m_then();
    }

    xcb_connection_t* m_connection;
    std::function<void()> m_then;
    xcb_atom_t m_manager = XCB_NONE;
    xcb_atom_t m_clipboard = XCB_NONE;
    xcb_window_t m_window = XCB_NONE;
    QTimer m_quiet;
    QTimer m_whole;
    bool m_ended = false;
};

}  // namespace

void hand_clipboard_over(std::function<void()> then)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    // Lives until the process ends, which it was asked for so that it ends.
    static std::unique_ptr<HandOver> hand_over;
    if (hand_over)
        return;
    if (!x11 || !QGuiApplication::clipboard()->ownsClipboard() ||
        !manager_runs(x11->connection())) {
        then();
        return;
    }
    hand_over = std::make_unique<HandOver>(x11->connection(), std::move(then));
    hand_over->start();
}

}  // namespace toolkit
