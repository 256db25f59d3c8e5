#include "X11Monitors.h"

#include <xcb/randr.h>

#include <algorithm>

#include "core/identity/Uuid.h"

namespace tavelin {
namespace {

std::string atomName(xcb_connection_t* c, xcb_atom_t atom) {
    const XcbReply<xcb_get_atom_name_reply_t> reply(
        xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr));
    if (!reply) return {};
    return std::string(xcb_get_atom_name_name(reply.get()),
                       static_cast<size_t>(xcb_get_atom_name_name_length(reply.get())));
}

std::string outputName(xcb_connection_t* c, xcb_randr_output_t output) {
    const XcbReply<xcb_randr_get_output_info_reply_t> reply(xcb_randr_get_output_info_reply(
        c, xcb_randr_get_output_info(c, output, XCB_CURRENT_TIME), nullptr));
    if (!reply) return {};
    return std::string(reinterpret_cast<const char*>(xcb_randr_get_output_info_name(reply.get())),
                       static_cast<size_t>(xcb_randr_get_output_info_name_length(reply.get())));
}

std::string outputEdid(xcb_connection_t* c, xcb_randr_output_t output) {
    const XcbReply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, 4, "EDID"), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE) return {};
    const XcbReply<xcb_randr_get_output_property_reply_t> reply(xcb_randr_get_output_property_reply(
        c, xcb_randr_get_output_property(c, output, atom->atom, XCB_ATOM_ANY, 0, 256, 0, 0),
        nullptr));
    if (!reply || reply->format != 8) return {};
    return std::string(
        reinterpret_cast<const char*>(xcb_randr_get_output_property_data(reply.get())),
        static_cast<size_t>(xcb_randr_get_output_property_data_length(reply.get())));
}

// Hosts store the identifier and hand it back in later runs, so it must survive restarts and
// differ between monitors: it is made from what names the physical monitor and its connector.
// A monitor that shares its output with another (one panel split in two) adds its own name.
std::string identifyMonitor(xcb_connection_t* c, const X11Monitor& monitor, bool sharesOutput) {
    if (!monitor.outputId) return nameBasedUuid("monitor:" + monitor.name);
    std::string identity =
        "output:" + outputName(c, *monitor.outputId) + "\n" + outputEdid(c, *monitor.outputId);
    if (sharesOutput) identity += "\nmonitor:" + monitor.name;
    return nameBasedUuid(identity);
}

void identifyMonitors(xcb_connection_t* c, std::vector<X11Monitor>& monitors) {
    for (X11Monitor& monitor : monitors) {
        const bool sharesOutput =
            monitor.outputId &&
            std::count_if(monitors.begin(), monitors.end(), [&](const X11Monitor& other) {
                return other.outputId == monitor.outputId;
            }) > 1;
        monitor.uuid = identifyMonitor(c, monitor, sharesOutput);
    }
}

bool hasMonitorSupport(xcb_connection_t* c) {
    const XcbReply<xcb_randr_query_version_reply_t> version(
        xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr));
    return version && (version->major_version > 1 || version->minor_version >= 5);
}

}  // namespace

std::vector<X11Monitor> listMonitors(const XcbConnection& connection) {
    xcb_connection_t* c = connection.get();
    const xcb_screen_t* screen = connection.screen();
    std::vector<X11Monitor> monitors;

    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (randr && randr->present && hasMonitorSupport(c)) {
        const XcbReply<xcb_randr_get_monitors_reply_t> reply(
            xcb_randr_get_monitors_reply(c, xcb_randr_get_monitors(c, screen->root, 1), nullptr));
        if (reply) {
            for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem;
                 xcb_randr_monitor_info_next(&it)) {
                const xcb_randr_monitor_info_t* info = it.data;
                X11Monitor monitor{
                    atomName(c, info->name), info->x,      info->y, info->width, info->height,
                    info->primary != 0,      std::nullopt, {}};
                if (xcb_randr_monitor_info_outputs_length(info) > 0) {
                    monitor.outputId = xcb_randr_monitor_info_outputs(info)[0];
                }
                monitors.push_back(std::move(monitor));
            }
        }
    }
    if (monitors.empty()) {
        X11Monitor whole{
            "screen",     0, 0, screen->width_in_pixels, screen->height_in_pixels, true,
            std::nullopt, {}};
        monitors.push_back(std::move(whole));
    }
    identifyMonitors(c, monitors);
    std::stable_partition(monitors.begin(), monitors.end(),
                          [](const X11Monitor& m) { return m.primary; });
    return monitors;
}

}  // namespace tavelin
