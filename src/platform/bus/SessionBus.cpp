#include "SessionBus.h"

#include <algorithm>

namespace tavelin {
namespace {

int millisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return int(std::clamp<long long>(left.count(), 0, 60'000));
}

void appendVariant(DBusMessageIter& entry, const std::variant<uint32_t, bool>& value) {
    DBusMessageIter variant;
    if (const auto* number = std::get_if<uint32_t>(&value)) {
        dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, "u", &variant);
        dbus_message_iter_append_basic(&variant, DBUS_TYPE_UINT32, number);
    } else {
        const dbus_bool_t flag = std::get<bool>(value) ? TRUE : FALSE;
        dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, "b", &variant);
        dbus_message_iter_append_basic(&variant, DBUS_TYPE_BOOLEAN, &flag);
    }
    dbus_message_iter_close_container(&entry, &variant);
}

template <typename T>
std::optional<T> firstArgument(DBusMessage& message, int type) {
    DBusMessageIter arguments;
    if (!dbus_message_iter_init(&message, &arguments) ||
        dbus_message_iter_get_arg_type(&arguments) != type) {
        return std::nullopt;
    }
    T value{};
    dbus_message_iter_get_basic(&arguments, &value);
    return value;
}

}  // namespace

BusMessage methodCall(const char* service, const char* path, const char* interface,
                      const char* method) {
    return BusMessage(dbus_message_new_method_call(service, path, interface, method));
}

void appendStrings(DBusMessage& message, std::initializer_list<const char*> values) {
    DBusMessageIter arguments;
    dbus_message_iter_init_append(&message, &arguments);
    for (const char* value : values) {
        dbus_message_iter_append_basic(&arguments, DBUS_TYPE_STRING, &value);
    }
}

void appendOptions(DBusMessage& message, std::initializer_list<BusOption> options) {
    DBusMessageIter arguments;
    DBusMessageIter dictionary;
    dbus_message_iter_init_append(&message, &arguments);
    dbus_message_iter_open_container(&arguments, DBUS_TYPE_ARRAY, "{sv}", &dictionary);
    for (const BusOption& option : options) {
        DBusMessageIter entry;
        dbus_message_iter_open_container(&dictionary, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
        dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &option.key);
        appendVariant(entry, option.value);
        dbus_message_iter_close_container(&dictionary, &entry);
    }
    dbus_message_iter_close_container(&arguments, &dictionary);
}

std::optional<std::string> firstObjectPath(DBusMessage& message) {
    const auto path = firstArgument<const char*>(message, DBUS_TYPE_OBJECT_PATH);
    if (!path) return std::nullopt;
    return std::string(*path);
}

std::optional<uint32_t> firstUint32(DBusMessage& message) {
    return firstArgument<dbus_uint32_t>(message, DBUS_TYPE_UINT32);
}

std::unique_ptr<SessionBus> SessionBus::connect() {
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* connection = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    dbus_error_free(&error);
    if (!connection) return nullptr;
    // libdbus would end the process when the bus goes away.
    dbus_connection_set_exit_on_disconnect(connection, FALSE);
    return std::unique_ptr<SessionBus>(new SessionBus(connection));
}

SessionBus::~SessionBus() {
    dbus_connection_close(connection_);
    dbus_connection_unref(connection_);
}

bool SessionBus::nameHasOwner(const char* name) {
    DBusError error;
    dbus_error_init(&error);
    const bool owned = dbus_bus_name_has_owner(connection_, name, &error);
    dbus_error_free(&error);
    return owned;
}

Result<BusMessage, std::string> SessionBus::call(BusMessage call,
                                                 std::chrono::milliseconds bound) {
    DBusError error;
    dbus_error_init(&error);
    BusMessage reply(dbus_connection_send_with_reply_and_block(connection_, call.get(),
                                                               int(bound.count()), &error));
    if (reply) return reply;
    std::string reason = error.message ? error.message : "no reply";
    dbus_error_free(&error);
    return reason;
}

void SessionBus::send(BusMessage message) {
    dbus_message_set_no_reply(message.get(), TRUE);
    dbus_connection_send(connection_, message.get(), nullptr);
    dbus_connection_flush(connection_);
}

void SessionBus::listen(const std::string& rule) {
    dbus_bus_add_match(connection_, rule.c_str(), nullptr);
}

BusMessage SessionBus::awaitSignal(const std::function<bool(DBusMessage&)>& wanted,
                                   std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        while (BusMessage message{dbus_connection_pop_message(connection_)}) {
            if (dbus_message_get_type(message.get()) == DBUS_MESSAGE_TYPE_SIGNAL &&
                wanted(*message)) {
                return message;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline ||
            !dbus_connection_read_write(connection_, millisecondsUntil(deadline))) {
            return nullptr;
        }
    }
}

}  // namespace tavelin
