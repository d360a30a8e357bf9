#include "platform/foundation/KeyedUnarchiver.h"

#include "platform/foundation/ArchiveFormat.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/PlainJson.h"

#include <cstdint>
#include <exception>
#include <limits>
#include <map>
#include <set>

namespace foundation {

class KeyedUnarchiver::Reader {
  public:
    bool decode(const nlohmann::json& json, Value& out, int depth) {
        if (depth > kMaxJsonDepth) return fail("nested too deeply");
        switch (json.type()) {
        case nlohmann::json::value_t::object:
            return decodeTagged(json, out, depth);
        case nlohmann::json::value_t::array: {
            Array items;
            items.reserve(json.size());
            for (const auto& item : json)
                if (!decode(item, items.emplace_back(), depth + 1)) return false;
            out = Value(std::move(items));
            return true;
        }
        default: {
            // Scalars read as in plain JSON.
            std::string error;
            std::optional<Value> v = fromPlainJson(json, &error);
            if (!v) return fail(error);
            out = std::move(*v);
            return true;
        }
        }
    }

    const std::string& error() const { return error_; }

  private:
    bool fail(std::string message) {
        error_ = std::move(message);
        return false;
    }

    bool decodeEntries(const nlohmann::json& json, Dictionary& out, int depth) {
        if (!json.is_object()) return fail("entries that are not a JSON object");
        for (const auto& [key, item] : json.items())
            if (!decode(item, out[key], depth + 1)) return false;
        return true;
    }

    static const nlohmann::json* member(const nlohmann::json& json, const char* key) {
        auto it = json.find(key);
        return it == json.end() ? nullptr : &*it;
    }

    static std::optional<std::int64_t> idOf(const nlohmann::json& json) {
        const nlohmann::json* id = member(json, "id");
        if (!id || !id->is_number_integer()) return std::nullopt;
        return id->get<std::int64_t>();
    }

    bool decodeTagged(const nlohmann::json& json, Value& out, int depth) {
        const nlohmann::json* tag = member(json, "class");
        if (!tag || !tag->is_string()) return fail("an object without a class tag");
        const std::string className = tag->get<std::string>();

        if (className == archive::kDictionary) {
            const nlohmann::json* entries = member(json, "entries");
            Dictionary d;
            if (!entries || !decodeEntries(*entries, d, depth))
                return error_.empty() ? fail("a damaged dictionary") : false;
            out = Value(std::move(d));
            return true;
        }
        if (className == archive::kBytes) {
            const nlohmann::json* text = member(json, "base64");
            std::optional<Bytes> bytes;
            if (text && text->is_string()) bytes = archive::fromBase64(text->get<std::string>());
            if (!bytes) return fail("damaged bytes");
            out = Value(std::move(*bytes));
            return true;
        }
        if (className == archive::kReal) {
            const nlohmann::json* v = member(json, "value");
            const std::string s = v && v->is_string() ? v->get<std::string>() : "";
            if (s == "nan")
                out = Value(std::numeric_limits<double>::quiet_NaN());
            else if (s == "inf")
                out = Value(std::numeric_limits<double>::infinity());
            else if (s == "-inf")
                out = Value(-std::numeric_limits<double>::infinity());
            else
                return fail("a damaged number");
            return true;
        }
        if (className == archive::kRef) {
            std::optional<std::int64_t> id = idOf(json);
            auto it = id ? objects_.find(*id) : objects_.end();
            if (it == objects_.end()) return fail("a reference to no object");
            out = it->second;
            return true;
        }

        std::optional<KeyedArchiver::Decoder> decoder = KeyedArchiver::decoderForClass(className);
        if (!decoder) return fail("unknown class " + className);
        std::optional<std::int64_t> id = idOf(json);
        if (!id || objects_.count(*id) || !defining_.insert(*id).second)
            return fail("a " + className + " without a fresh id");
        const nlohmann::json* fieldsJson = member(json, "fields");
        Dictionary fields;
        if (!fieldsJson || !decodeEntries(*fieldsJson, fields, depth))
            return error_.empty() ? fail("a " + className + " without fields") : false;
        std::shared_ptr<void> object = (*decoder)(KeyedUnarchiver(fields));
        if (!object) return fail("a " + className + " with fields of the wrong type");
        out = Value::object(std::move(object), className);
        objects_[*id] = out;
        return true;
    }

    std::map<std::int64_t, Value> objects_;
    std::set<std::int64_t> defining_;
    std::string error_;
};

const Value* KeyedUnarchiver::decodeObjectForKey(const std::string& key) const {
    auto it = fields_.find(key);
    return it == fields_.end() ? nullptr : &it->second;
}

std::optional<Value> KeyedUnarchiver::unarchiveObjectWithData(const std::string& data, std::string* error) {
    auto refuse = [&](const std::string& why) -> std::optional<Value> {
        if (error) *error = why;
        return std::nullopt;
    };
    nlohmann::json document = nlohmann::json::parse(data, nullptr, false);
    if (document.is_discarded()) return refuse("damaged JSON");
    if (!document.is_object()) return refuse("not an archive");
    auto format = document.find("format");
    auto version = document.find("version");
    auto root = document.find("root");
    if (format == document.end() || *format != archive::kFormat) return refuse("not an archive");
    if (version == document.end() || *version != archive::kVersion)
        return refuse("an archive version this program cannot read");
    if (root == document.end()) return refuse("an archive without a root");
    try {
        Reader reader;
        Value value;
        if (!reader.decode(*root, value, 0)) return refuse(reader.error());
        return value;
    } catch (const std::exception& e) { // a decoder that throws refuses the archive
        return refuse(e.what());
    }
}

std::optional<Value> KeyedUnarchiver::unarchiveObjectWithFile(const std::string& path, std::string* error) {
    std::optional<std::string> data = readWholeFile(path, error);
    if (!data) return std::nullopt;
    std::optional<Value> value = unarchiveObjectWithData(*data, error);
    if (!value && error) *error = path + ": " + *error;
    return value;
}

KeyedUnarchiver::StoredRead KeyedUnarchiver::unarchiveStoredObjectWithFile(const std::string& path) {
    StoredRead result;
    std::optional<std::string> data = readWholeFile(path, &result.error);
    if (!data) return result; // missing or unreadable: nothing to move aside
    result.root = unarchiveObjectWithData(*data, &result.error);
    if (result.root) return result;

    result.error = path + ": " + result.error;
    result.setAsidePath = setAsideDamagedFile(path);
    if (result.setAsidePath.empty()) return result; // cannot move it: do not write over it either
    const std::string backup = path + ".bak";
    std::optional<std::string> copy = readWholeFile(backup);
    if (!copy) return result;
    result.root = unarchiveObjectWithData(*copy);
    if (!result.root) return result;
    result.recoveredFromBackup = true;
    writeFileAtomically(path, *copy); // if this fails the next save writes the file anew
    return result;
}

} // namespace foundation
