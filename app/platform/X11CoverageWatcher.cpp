#include "app/platform/X11CoverageWatcher.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

namespace app {

namespace {

constexpr std::uint32_t ALL_DESKTOPS = 0xFFFFFFFF;
// Property reads ask for up to this many 32-bit values: more than any window list holds.
constexpr std::uint32_t MAX_VALUES = 1U << 20;
// What this watcher needs to hear about a managed window: its properties (state, workspace,
// frame extents) and its structure (moves, resizes, map, unmap, destruction).
constexpr std::uint32_t CLIENT_EVENTS =
    XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

// A reply, or null with `gone` set when the request failed (the window no longer exists).
template <class T> Reply<T> take(T* reply, xcb_generic_error_t* error, bool& gone) {
    if (error != nullptr) {
        std::free(error);
        gone = true;
    }
    return Reply<T>(reply);
}

// The 32-bit values of a property read of `type`; empty when the property is absent.
std::vector<std::uint32_t> values32(xcb_connection_t* c, xcb_get_property_cookie_t cookie,
                                    xcb_atom_t type, bool& gone) {
    xcb_generic_error_t* error = nullptr;
    const Reply<xcb_get_property_reply_t> reply =
        take(xcb_get_property_reply(c, cookie, &error), error, gone);
    if (!reply || reply->type != type || reply->format != 32) {
        return {};
    }
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return {data, data + count};
}

xcb_get_property_cookie_t readProperty(xcb_connection_t* c, xcb_window_t window,
                                       xcb_atom_t property, xcb_atom_t type) {
    return xcb_get_property(c, 0, window, property, type, 0, MAX_VALUES);
}

// Adds `wanted` to this connection's event mask on `window` without taking away what Qt
// selected there (the root, Qt's own windows). Returns the mask before, or nothing when the
// window already had all of it. A window that vanished meanwhile is no error worth a word.
std::optional<std::uint32_t> addEvents(xcb_connection_t* c, xcb_window_t window,
                                       std::uint32_t before, std::uint32_t wanted) {
    if ((before & wanted) == wanted) {
        return std::nullopt;
    }
    const std::uint32_t mask = before | wanted;
    const xcb_void_cookie_t cookie =
        xcb_change_window_attributes_checked(c, window, XCB_CW_EVENT_MASK, &mask);
    xcb_discard_reply(c, cookie.sequence);
    return before;
}

void restoreEvents(xcb_connection_t* c, xcb_window_t window, std::uint32_t mask) {
    const xcb_void_cookie_t cookie =
        xcb_change_window_attributes_checked(c, window, XCB_CW_EVENT_MASK, &mask);
    xcb_discard_reply(c, cookie.sequence);
}

// XWayland's window manager lists X11 windows only; native Wayland windows are out of sight.
bool onXWayland() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
}

} // namespace

X11CoverageWatcher::X11CoverageWatcher(xcb_connection_t* connection, QObject* parent)
    : CoverageWatcher(parent), connection_(connection) {
    const std::array<std::pair<xcb_atom_t*, const char*>, 11> names{{
        {&atoms_.clientList, "_NET_CLIENT_LIST"},
        {&atoms_.currentDesktop, "_NET_CURRENT_DESKTOP"},
        {&atoms_.workArea, "_NET_WORKAREA"},
        {&atoms_.wmState, "_NET_WM_STATE"},
        {&atoms_.wmDesktop, "_NET_WM_DESKTOP"},
        {&atoms_.frameExtents, "_NET_FRAME_EXTENTS"},
        {&atoms_.fullscreen, "_NET_WM_STATE_FULLSCREEN"},
        {&atoms_.maximizedVert, "_NET_WM_STATE_MAXIMIZED_VERT"},
        {&atoms_.maximizedHorz, "_NET_WM_STATE_MAXIMIZED_HORZ"},
        {&atoms_.hidden, "_NET_WM_STATE_HIDDEN"},
        {&atoms_.shaded, "_NET_WM_STATE_SHADED"},
    }};
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const char* name = names[i].second;
        cookies[i] =
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        const Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection_, cookies[i], nullptr));
        *names[i].first = reply ? reply->atom : XCB_NONE;
    }

    recompute_.setSingleShot(true);
    recompute_.setInterval(0);
    connect(&recompute_, &QTimer::timeout, this, &X11CoverageWatcher::recompute);
}

X11CoverageWatcher::~X11CoverageWatcher() {
    // Qt's connection goes with the application; after it there is nothing to restore.
    if (qGuiApp != nullptr) {
        stopWatching();
    }
}

void X11CoverageWatcher::watch(QWindow* wallpaper) {
    if (wallpaper == nullptr) {
        stopWatching();
        setCovered(false);
        return;
    }
    const auto id = static_cast<xcb_window_t>(wallpaper->winId());
    if (id != wallpaper_) {
        xcb_generic_error_t* error = nullptr;
        const Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, id), &error));
        std::free(error);
        if (!geometry) {
            return;
        }
        if (root_ != geometry->root) {
            stopWatching();
            root_ = geometry->root;
            const Reply<xcb_get_window_attributes_reply_t> attributes(
                xcb_get_window_attributes_reply(
                    connection_, xcb_get_window_attributes(connection_, root_), nullptr));
            if (attributes) {
                rootMaskBefore_ = addEvents(connection_, root_, attributes->your_event_mask,
                                            XCB_EVENT_MASK_PROPERTY_CHANGE);
            }
            QCoreApplication::instance()->installNativeEventFilter(this);
        }
        wallpaper_ = id;
        listDirty_ = rootDirty_ = true;
    }
    wallpaperDirty_ = true;
    scheduleRecompute();
}

void X11CoverageWatcher::stopWatching() {
    recompute_.stop();
    if (root_ == XCB_NONE) {
        return;
    }
    QCoreApplication::instance()->removeNativeEventFilter(this);
    for (const auto& [id, client] : clients_) {
        forget(id, client);
    }
    clients_.clear();
    if (rootMaskBefore_) {
        restoreEvents(connection_, root_, *rootMaskBefore_);
        rootMaskBefore_.reset();
    }
    xcb_flush(connection_);
    root_ = wallpaper_ = XCB_NONE;
    haveClientList_ = false;
}

void X11CoverageWatcher::forget(xcb_window_t window, const Client& client) {
    if (client.maskBefore) {
        restoreEvents(connection_, window, *client.maskBefore);
    }
}

bool X11CoverageWatcher::nativeEventFilter(const QByteArray& eventType, void* message,
                                           qintptr* result) {
    (void)result;
    if (wallpaper_ == XCB_NONE || eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const auto markDirty = [this](xcb_window_t window) {
        if (window == wallpaper_) {
            wallpaperDirty_ = true;
            scheduleRecompute();
        } else if (const auto it = clients_.find(window); it != clients_.end()) {
            it->second.dirty = true;
            scheduleRecompute();
        }
    };
    // The high bit marks events another client sent, such as the window manager's
    // configure notifications for moved frames: they count the same.
    switch (event->response_type & 0x7f) {
    case XCB_PROPERTY_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (e->window == root_) {
            if (e->atom == atoms_.clientList) {
                listDirty_ = true;
                scheduleRecompute();
            } else if (e->atom == atoms_.currentDesktop || e->atom == atoms_.workArea) {
                rootDirty_ = true;
                scheduleRecompute();
            }
        } else if (e->atom == atoms_.wmState || e->atom == atoms_.wmDesktop ||
                   e->atom == atoms_.frameExtents) {
            markDirty(e->window);
        }
        break;
    }
    case XCB_CONFIGURE_NOTIFY:
        markDirty(reinterpret_cast<const xcb_configure_notify_event_t*>(event)->window);
        break;
    case XCB_MAP_NOTIFY:
        markDirty(reinterpret_cast<const xcb_map_notify_event_t*>(event)->window);
        break;
    case XCB_UNMAP_NOTIFY:
        markDirty(reinterpret_cast<const xcb_unmap_notify_event_t*>(event)->window);
        break;
    case XCB_DESTROY_NOTIFY:
        if (clients_.count(reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window) !=
            0) {
            listDirty_ = true;
            scheduleRecompute();
        }
        break;
    default:
        break;
    }
    return false;
}

void X11CoverageWatcher::scheduleRecompute() {
    if (!recompute_.isActive()) {
        recompute_.start();
    }
}

void X11CoverageWatcher::recompute() {
    if (wallpaper_ == XCB_NONE) {
        return;
    }
    readRoot();
    selectOnNewClients();
    readDirtyClients();

    QRect visible = wallpaperFrame_;
    if (!workAreas_.empty()) {
        // Panels take what the work area leaves out; the wallpaper shows there only under
        // them. Work areas are per workspace; a window manager may publish one for all.
        const QRect area = workAreas_[currentDesktop_ < workAreas_.size() ? currentDesktop_ : 0];
        if (area.isValid()) {
            visible &= area;
        }
    }
    std::vector<ClientWindow> windows;
    windows.reserve(clients_.size());
    for (const auto& [id, client] : clients_) {
        windows.push_back(client.window);
    }
    setCanSeeWindows(haveClientList_ && !onXWayland());
    setCovered(haveClientList_ && app::isCovered(visible, windows, currentDesktop_));
}

void X11CoverageWatcher::readRoot() {
    std::optional<xcb_get_property_cookie_t> list, desktop, area;
    std::optional<xcb_get_geometry_cookie_t> geometry;
    std::optional<xcb_translate_coordinates_cookie_t> origin;
    if (listDirty_) {
        list = readProperty(connection_, root_, atoms_.clientList, XCB_ATOM_WINDOW);
    }
    if (rootDirty_) {
        desktop = readProperty(connection_, root_, atoms_.currentDesktop, XCB_ATOM_CARDINAL);
        area = readProperty(connection_, root_, atoms_.workArea, XCB_ATOM_CARDINAL);
    }
    if (wallpaperDirty_) {
        geometry = xcb_get_geometry(connection_, wallpaper_);
        origin = xcb_translate_coordinates(connection_, wallpaper_, root_, 0, 0);
    }
    bool rootGone = false; // the root never goes away: read and ignored
    if (list) {
        listDirty_ = false;
        xcb_generic_error_t* error = nullptr;
        const Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(connection_, *list, &error));
        std::free(error);
        // No list: no window manager that follows EWMH, and so no way to tell what covers.
        haveClientList_ = reply && reply->type == XCB_ATOM_WINDOW && reply->format == 32;
        std::set<xcb_window_t> listed;
        if (haveClientList_) {
            const auto* data =
                static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
            listed.insert(data, data + xcb_get_property_value_length(reply.get()) / 4);
            listed.erase(wallpaper_);
        }
        for (auto it = clients_.begin(); it != clients_.end();) {
            if (listed.count(it->first) == 0) {
                forget(it->first, it->second);
                it = clients_.erase(it);
            } else {
                ++it;
            }
        }
        for (const xcb_window_t window : listed) {
            clients_.try_emplace(window);
        }
    }
    if (desktop) {
        rootDirty_ = false;
        const std::vector<std::uint32_t> current =
            values32(connection_, *desktop, XCB_ATOM_CARDINAL, rootGone);
        currentDesktop_ = current.empty() ? 0 : current[0];
        const std::vector<std::uint32_t> areas =
            values32(connection_, *area, XCB_ATOM_CARDINAL, rootGone);
        workAreas_.clear();
        for (std::size_t i = 0; i + 3 < areas.size(); i += 4) {
            workAreas_.emplace_back(static_cast<int>(areas[i]), static_cast<int>(areas[i + 1]),
                                    static_cast<int>(areas[i + 2]), static_cast<int>(areas[i + 3]));
        }
    }
    if (geometry) {
        wallpaperDirty_ = false;
        bool gone = false;
        xcb_generic_error_t* error = nullptr;
        const Reply<xcb_get_geometry_reply_t> size =
            take(xcb_get_geometry_reply(connection_, *geometry, &error), error, gone);
        error = nullptr;
        const Reply<xcb_translate_coordinates_reply_t> at =
            take(xcb_translate_coordinates_reply(connection_, *origin, &error), error, gone);
        wallpaperFrame_ =
            gone || !size || !at ? QRect() : QRect(at->dst_x, at->dst_y, size->width, size->height);
    }
}

void X11CoverageWatcher::selectOnNewClients() {
    // Events are selected before the window is read, so that no change between the read and
    // the selection goes unheard.
    std::vector<std::pair<xcb_window_t, xcb_get_window_attributes_cookie_t>> pending;
    for (const auto& [id, client] : clients_) {
        if (!client.selected) {
            pending.emplace_back(id, xcb_get_window_attributes(connection_, id));
        }
    }
    for (const auto& [id, cookie] : pending) {
        bool gone = false;
        xcb_generic_error_t* error = nullptr;
        const Reply<xcb_get_window_attributes_reply_t> attributes =
            take(xcb_get_window_attributes_reply(connection_, cookie, &error), error, gone);
        Client& client = clients_[id];
        client.selected = true;
        if (attributes) {
            client.maskBefore =
                addEvents(connection_, id, attributes->your_event_mask, CLIENT_EVENTS);
        }
        // A window that is gone already is read as gone below and dropped then.
    }
}

void X11CoverageWatcher::readDirtyClients() {
    struct Pending {
        xcb_window_t id;
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_geometry_cookie_t geometry;
        xcb_translate_coordinates_cookie_t origin;
        xcb_get_property_cookie_t state, desktop, extents;
    };
    std::vector<Pending> pending;
    for (const auto& [id, client] : clients_) {
        if (client.dirty) {
            pending.push_back(
                {id, xcb_get_window_attributes(connection_, id), xcb_get_geometry(connection_, id),
                 xcb_translate_coordinates(connection_, id, root_, 0, 0),
                 readProperty(connection_, id, atoms_.wmState, XCB_ATOM_ATOM),
                 readProperty(connection_, id, atoms_.wmDesktop, XCB_ATOM_CARDINAL),
                 readProperty(connection_, id, atoms_.frameExtents, XCB_ATOM_CARDINAL)});
        }
    }
    for (const Pending& p : pending) {
        bool gone = false;
        xcb_generic_error_t* error = nullptr;
        const Reply<xcb_get_window_attributes_reply_t> attributes =
            take(xcb_get_window_attributes_reply(connection_, p.attributes, &error), error, gone);
        error = nullptr;
        const Reply<xcb_get_geometry_reply_t> size =
            take(xcb_get_geometry_reply(connection_, p.geometry, &error), error, gone);
        error = nullptr;
        const Reply<xcb_translate_coordinates_reply_t> at =
            take(xcb_translate_coordinates_reply(connection_, p.origin, &error), error, gone);
        const std::vector<std::uint32_t> states =
            values32(connection_, p.state, XCB_ATOM_ATOM, gone);
        const std::vector<std::uint32_t> desktop =
            values32(connection_, p.desktop, XCB_ATOM_CARDINAL, gone);
        const std::vector<std::uint32_t> extents =
            values32(connection_, p.extents, XCB_ATOM_CARDINAL, gone);

        Client& client = clients_[p.id];
        client.dirty = false;
        ClientWindow& w = client.window;
        if (gone || !attributes || !size || !at) {
            // Destroyed since the list was read: the list's change follows and drops it.
            w = ClientWindow{};
            w.hidden = true;
            continue;
        }
        const auto has = [&states](xcb_atom_t atom) {
            return std::find(states.begin(), states.end(), atom) != states.end();
        };
        w.fullscreen = has(atoms_.fullscreen);
        w.maximizedVert = has(atoms_.maximizedVert);
        w.maximizedHorz = has(atoms_.maximizedHorz);
        w.hidden = has(atoms_.hidden) || has(atoms_.shaded) ||
                   attributes->map_state == XCB_MAP_STATE_UNMAPPED;
        // A window without a workspace is shown on whichever is current.
        w.onAllDesktops = desktop.empty() || desktop[0] == ALL_DESKTOPS;
        w.desktop = desktop.empty() ? 0 : desktop[0];
        // The frame: the window's border and the decorations the window manager put around it.
        const int border = size->border_width;
        const int left = extents.size() == 4 ? static_cast<int>(extents[0]) : 0;
        const int right = extents.size() == 4 ? static_cast<int>(extents[1]) : 0;
        const int top = extents.size() == 4 ? static_cast<int>(extents[2]) : 0;
        const int bottom = extents.size() == 4 ? static_cast<int>(extents[3]) : 0;
        w.frame = QRect(at->dst_x - border - left, at->dst_y - border - top,
                        size->width + 2 * border + left + right,
                        size->height + 2 * border + top + bottom);
    }
}

} // namespace app
