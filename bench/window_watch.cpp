// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_watch.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <xcb/xcb.h>

namespace {

quint32 internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
    const quint32 atom = reply ? reply->atom : 0;
    free(reply);
    return atom;
}

} // namespace

WindowWatch::WindowWatch(const QString &display)
{
    int screenNumber = 0;
    m_connection = xcb_connect(display.toLocal8Bit().constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection))
        return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    // Top-level windows are the root's children: their maps come to us.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, screens.data->root, XCB_CW_EVENT_MASK, &mask);
    m_wmProtocols = internAtom(m_connection, "WM_PROTOCOLS");
    m_wmDeleteWindow = internAtom(m_connection, "WM_DELETE_WINDOW");
    xcb_flush(m_connection);
}

WindowWatch::~WindowWatch()
{
    xcb_disconnect(m_connection);
}

bool WindowWatch::isValid() const
{
    return !xcb_connection_has_error(m_connection);
}

int WindowWatch::fd() const
{
    return xcb_get_file_descriptor(m_connection);
}

std::vector<WindowEvent> WindowWatch::take()
{
    std::vector<WindowEvent> events;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        const auto at = BenchClock::now();
        switch (event->response_type & 0x7f) {
        case XCB_MAP_NOTIFY: {
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
            if (!map->override_redirect) // menus and tooltips are not windows
                events.push_back({WindowEvent::Kind::Mapped, map->window, 0, 0, at});
            break;
        }
        case XCB_UNMAP_NOTIFY:
            events.push_back({WindowEvent::Kind::Unmapped,
                              reinterpret_cast<xcb_unmap_notify_event_t *>(event)->window, 0, 0, at});
            break;
        case XCB_CONFIGURE_NOTIFY: {
            const auto *configure = reinterpret_cast<xcb_configure_notify_event_t *>(event);
            events.push_back(
                {WindowEvent::Kind::Configured, configure->window, configure->width, configure->height, at});
            break;
        }
        default:
            break;
        }
        free(event);
    }
    return events;
}

std::optional<WindowEvent> WindowWatch::waitFor(const std::function<bool(const WindowEvent &)> &match,
                                                int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (isValid()) {
        for (const WindowEvent &event : take()) {
            if (match(event))
                return event;
        }
        if (deadline.hasExpired())
            break;
        pollfd readable{fd(), POLLIN, 0};
        poll(&readable, 1, int(deadline.remainingTime()));
    }
    return std::nullopt;
}

void WindowWatch::requestClose(quint32 window)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = m_wmProtocols;
    message.data.data32[0] = m_wmDeleteWindow;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(m_connection);
}

bool WindowWatch::isDrawnAt(quint32 window, int x, int y)
{
    xcb_get_image_reply_t *reply = xcb_get_image_reply(
        m_connection,
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, int16_t(x), int16_t(y), 1, 1, ~0U),
        nullptr);
    if (!reply)
        return false;
    const uint8_t *pixel = xcb_get_image_data(reply);
    const bool drawn =
        std::any_of(pixel, pixel + xcb_get_image_data_length(reply), [](uint8_t b) { return b != 0; });
    free(reply);
    return drawn;
}
