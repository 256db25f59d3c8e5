#include <nlohmann/json.hpp>

#include "RecordJson.h"

namespace tavelin {
namespace {

using Json = nlohmann::json;

struct Malformed {
    std::string description;
};

const Json& member(const Json& object, const char* key, const std::string& where) {
    const auto found = object.find(key);
    if (found == object.end()) throw Malformed{where + ": key \"" + key + "\" not found"};
    return *found;
}

const Json& objectMember(const Json& object, const char* key, const std::string& where) {
    const Json& value = member(object, key, where);
    if (!value.is_object()) {
        throw Malformed{where + "." + key + ": expected an object, found " + value.type_name()};
    }
    return value;
}

double numberValue(const Json& value, const std::string& where) {
    if (!value.is_number()) {
        throw Malformed{where + ": expected a number, found " + std::string(value.type_name())};
    }
    return value.get<double>();
}

std::string stringValue(const Json& value, const std::string& where) {
    if (!value.is_string()) {
        throw Malformed{where + ": expected a string, found " + std::string(value.type_name())};
    }
    return value.get<std::string>();
}

RectDTO decodeRect(const Json& json, const std::string& where) {
    const auto field = [&](const char* key) {
        return numberValue(member(json, key, where), where + "." + key);
    };
    return {field("x"), field("y"), field("width"), field("height")};
}

FrameHistoryEntry decodeEntry(const Json& json, const std::string& where) {
    if (!json.is_object()) {
        throw Malformed{where + ": expected an object, found " + std::string(json.type_name())};
    }
    FrameHistoryEntry entry;
    entry.selectionPoints =
        decodeRect(objectMember(json, "selectionPoints", where), where + ".selectionPoints");

    const auto scale = json.find("displayScale");
    if (scale != json.end() && !scale->is_null()) {
        entry.displayScale = numberValue(*scale, where + ".displayScale");
    }

    const Json& info = objectMember(json, "displayInfo", where);
    entry.displayInfo.id = stringValue(member(info, "id", where), where + ".displayInfo.id");
    entry.displayInfo.platform =
        stringValue(member(info, "platform", where), where + ".displayInfo.platform");
    return entry;
}

}  // namespace

Result<std::vector<FrameHistoryEntry>, DecodeError> decodeFrameHistory(const std::string& text) {
    try {
        const Json json = Json::parse(text);
        if (!json.is_array()) {
            return DecodeError{"expected an array, found " + std::string(json.type_name())};
        }
        std::vector<FrameHistoryEntry> entries;
        entries.reserve(json.size());
        for (size_t index = 0; index < json.size(); ++index) {
            entries.push_back(decodeEntry(json[index], "[" + std::to_string(index) + "]"));
        }
        return entries;
    } catch (const Json::exception& error) {
        return DecodeError{error.what()};
    } catch (const Malformed& error) {
        return DecodeError{error.description};
    }
}

}  // namespace tavelin
