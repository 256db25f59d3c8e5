#include "PermissionStore.h"

#include <chrono>
#include <optional>
#include <vector>

#include "PortalNames.h"
#include "platform/bus/SessionBus.h"

namespace tavelin {
namespace {

constexpr std::chrono::seconds kStoreBound{5};

BusMessage storeCall(const char* method) {
    return methodCall(portal::kStoreService, portal::kStorePath, portal::kStoreInterface,
                      method);
}

std::vector<std::string> stringsIn(DBusMessageIter& array) {
    std::vector<std::string> strings;
    DBusMessageIter item;
    dbus_message_iter_recurse(&array, &item);
    while (dbus_message_iter_get_arg_type(&item) == DBUS_TYPE_STRING) {
        const char* text = nullptr;
        dbus_message_iter_get_basic(&item, &text);
        strings.emplace_back(text);
        dbus_message_iter_next(&item);
    }
    return strings;
}

// The answers kept for `appId` in a Lookup reply's first argument, an "a{sas}".
std::optional<std::vector<std::string>> answersFor(DBusMessage& reply, const std::string& appId) {
    DBusMessageIter arguments;
    DBusMessageIter entries;
    if (!dbus_message_iter_init(&reply, &arguments) ||
        dbus_message_iter_get_arg_type(&arguments) != DBUS_TYPE_ARRAY) {
        return std::nullopt;
    }
    dbus_message_iter_recurse(&arguments, &entries);
    while (dbus_message_iter_get_arg_type(&entries) == DBUS_TYPE_DICT_ENTRY) {
        DBusMessageIter entry;
        dbus_message_iter_recurse(&entries, &entry);
        const char* key = nullptr;
        if (dbus_message_iter_get_arg_type(&entry) == DBUS_TYPE_STRING) {
            dbus_message_iter_get_basic(&entry, &key);
        }
        if (key && appId == key && dbus_message_iter_next(&entry) &&
            dbus_message_iter_get_arg_type(&entry) == DBUS_TYPE_ARRAY) {
            return stringsIn(entry);
        }
        dbus_message_iter_next(&entries);
    }
    return std::nullopt;
}

}  // namespace

// An entry the store has never written answers with an error, which leaves it undecided.
StoredPermission storedScreenshotPermission(const std::string& appId) {
    const auto bus = SessionBus::connect();
    if (!bus) return StoredPermission::undecided;
    BusMessage call = storeCall("Lookup");
    appendStrings(*call, {portal::kScreenshotTable, portal::kScreenshotEntry});
    const auto reply = bus->call(std::move(call), kStoreBound);
    if (!reply) return StoredPermission::undecided;
    const auto answers = answersFor(**reply, appId);
    if (!answers || answers->empty()) return StoredPermission::undecided;
    return answers->front() == "yes" ? StoredPermission::granted : StoredPermission::denied;
}

bool storeScreenshotPermission(const std::string& appId) {
    const auto bus = SessionBus::connect();
    if (!bus) return false;
    BusMessage call = storeCall("SetPermission");
    DBusMessageIter arguments;
    DBusMessageIter answers;
    const char* table = portal::kScreenshotTable;
    const char* entry = portal::kScreenshotEntry;
    const char* app = appId.c_str();
    const char* yes = "yes";
    const dbus_bool_t createTable = TRUE;
    dbus_message_iter_init_append(call.get(), &arguments);
    dbus_message_iter_append_basic(&arguments, DBUS_TYPE_STRING, &table);
    dbus_message_iter_append_basic(&arguments, DBUS_TYPE_BOOLEAN, &createTable);
    dbus_message_iter_append_basic(&arguments, DBUS_TYPE_STRING, &entry);
    dbus_message_iter_append_basic(&arguments, DBUS_TYPE_STRING, &app);
    dbus_message_iter_open_container(&arguments, DBUS_TYPE_ARRAY, "s", &answers);
    dbus_message_iter_append_basic(&answers, DBUS_TYPE_STRING, &yes);
    dbus_message_iter_close_container(&arguments, &answers);
    return bus->call(std::move(call), kStoreBound).ok();
}

}  // namespace tavelin
