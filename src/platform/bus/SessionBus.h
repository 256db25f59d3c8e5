#pragma once

#include <dbus/dbus.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "core/Result.h"

namespace tavelin {

struct BusMessageRelease {
    void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};
using BusMessage = std::unique_ptr<DBusMessage, BusMessageRelease>;

// One entry of an "a{sv}" options argument.
struct BusOption {
    const char* key;
    std::variant<uint32_t, bool> value;
};

BusMessage methodCall(const char* service, const char* path, const char* interface,
                      const char* method);
// Appends string arguments, in order.
void appendStrings(DBusMessage& message, std::initializer_list<const char*> values);
void appendOptions(DBusMessage& message, std::initializer_list<BusOption> options);
// The message's first argument, when it has that type.
std::optional<std::string> firstObjectPath(DBusMessage& message);
std::optional<uint32_t> firstUint32(DBusMessage& message);

// A private connection to the session bus, for the thread that made it. A name that
// disconnects ends every session a service keeps for it, so the connection's life bounds
// theirs.
class SessionBus {
public:
    // Empty when there is no session bus.
    static std::unique_ptr<SessionBus> connect();
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    bool nameHasOwner(const char* name);
    // The reply to `call`, or the bus's error text.
    Result<BusMessage, std::string> call(BusMessage call, std::chrono::milliseconds bound);
    // Sends `message` without waiting for an answer.
    void send(BusMessage message);
    // Receives the signals that `rule` matches from now on.
    void listen(const std::string& rule);
    // The next received signal that `wanted` accepts; empty at `deadline` or when the
    // connection breaks. Signals that `wanted` refuses are dropped.
    BusMessage awaitSignal(const std::function<bool(DBusMessage&)>& wanted,
                           std::chrono::steady_clock::time_point deadline);

private:
    explicit SessionBus(DBusConnection* connection) : connection_(connection) {}
    DBusConnection* connection_;
};

}  // namespace tavelin
