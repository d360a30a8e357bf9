#include "platform/foundation/KeyedArchiver.h"

#include "platform/foundation/ArchiveFormat.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/PlainJson.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <utility>

namespace foundation {

namespace {

struct ClassEntry {
    KeyedArchiver::Encoder encoder;
    KeyedArchiver::Decoder decoder;
};

struct Registry {
    std::mutex mutex;
    std::map<std::string, ClassEntry> classes;
};

Registry& registry() {
    static Registry r;
    return r;
}

std::optional<KeyedArchiver::Encoder> encoderForClass(const std::string& className) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.classes.find(className);
    if (it == r.classes.end()) return std::nullopt;
    return it->second.encoder;
}

} // namespace

class KeyedArchiver::Writer {
  public:
    bool encode(const Value& value, nlohmann::json& out, int depth) {
        if (depth > kMaxJsonDepth) return fail("the graph is nested too deeply");
        switch (value.type()) {
        case Value::Type::Null:
            out = nullptr;
            return true;
        case Value::Type::Bool:
            out = *value.getBool();
            return true;
        case Value::Type::Integer:
            out = *value.getInt64();
            return true;
        case Value::Type::Real: {
            double d = *value.getDouble();
            if (std::isfinite(d))
                out = d;
            else
                out = {{"class", archive::kReal}, {"value", std::isnan(d) ? "nan" : d > 0 ? "inf" : "-inf"}};
            return true;
        }
        case Value::Type::String:
            out = *value.getString();
            return true;
        case Value::Type::Bytes:
            out = {{"class", archive::kBytes}, {"base64", archive::toBase64(*value.getBytes())}};
            return true;
        case Value::Type::Array:
            out = nlohmann::json::array();
            for (const Value& item : *value.getArray())
                if (!encode(item, out.emplace_back(), depth + 1)) return false;
            return true;
        case Value::Type::Dictionary: {
            nlohmann::json entries;
            if (!encodeEntries(*value.getDictionary(), entries, depth)) return false;
            out = {{"class", archive::kDictionary}, {"entries", std::move(entries)}};
            return true;
        }
        case Value::Type::Object:
            return encodeObject(*value.getObject(), out, depth);
        }
        return false;
    }

    const std::string& error() const { return error_; }

  private:
    bool encodeEntries(const Dictionary& dictionary, nlohmann::json& out, int depth) {
        out = nlohmann::json::object();
        for (const auto& [key, item] : dictionary)
            if (!encode(item, out[key], depth + 1)) return false;
        return true;
    }

    bool fail(std::string message) {
        error_ = std::move(message);
        return false;
    }

    bool encodeObject(const Object& object, nlohmann::json& out, int depth) {
        if (!object.pointer) {
            out = nullptr;
            return true;
        }
        const auto identity = std::make_pair(object.pointer.get(), object.typeTag);
        if (auto it = ids_.find(identity); it != ids_.end()) {
            out = {{"class", archive::kRef}, {"id", it->second}};
            return true;
        }
        if (inProgress_.count(identity)) return fail("the graph has a cycle through a " + object.typeTag);
        std::optional<KeyedArchiver::Encoder> encoder = encoderForClass(object.typeTag);
        if (!encoder) return fail("class " + object.typeTag + " is not archivable");

        const std::int64_t id = nextId_++;
        KeyedArchiver coder;
        (*encoder)(object.pointer.get(), coder);
        inProgress_.insert(identity);
        nlohmann::json fields;
        bool ok = encodeEntries(coder.fields_, fields, depth);
        inProgress_.erase(identity);
        if (!ok) return false;
        // The reader meets this definition before any reference to it: both walk keys in order.
        ids_[identity] = id;
        out = {{"class", object.typeTag}, {"id", id}, {"fields", std::move(fields)}};
        return true;
    }

    std::map<std::pair<const void*, std::string>, std::int64_t> ids_;
    std::set<std::pair<const void*, std::string>> inProgress_;
    std::int64_t nextId_ = 1;
    std::string error_;
};

bool KeyedArchiver::registerClass(const std::string& className, Encoder encoder, Decoder decoder) {
    if (className.empty() || archive::isReservedClassName(className) || !encoder || !decoder) return false;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.classes[className] = ClassEntry{std::move(encoder), std::move(decoder)};
    return true;
}

std::optional<KeyedArchiver::Decoder> KeyedArchiver::decoderForClass(const std::string& className) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.classes.find(className);
    if (it == r.classes.end()) return std::nullopt;
    return it->second.decoder;
}

std::optional<std::string> KeyedArchiver::archivedDataWithRootObject(const Value& root, std::string* error) {
    Writer writer;
    nlohmann::json body;
    if (!writer.encode(root, body, 0)) {
        if (error) *error = writer.error();
        return std::nullopt;
    }
    nlohmann::json document = {
        {"format", archive::kFormat}, {"version", archive::kVersion}, {"root", std::move(body)}};
    return dumpJson(document, error);
}

bool KeyedArchiver::archiveRootObject(const Value& root, const std::string& path, std::string* error) {
    std::optional<std::string> text = archivedDataWithRootObject(root, error);
    if (!text) return false;
    // Keep the file being replaced as the backup, unless it is damaged: then the backup stays the
    // last sound copy.
    if (std::optional<std::string> previous = readWholeFile(path)) {
        std::string backupError;
        if (KeyedUnarchiver::unarchiveObjectWithData(*previous) &&
            !writeFileAtomically(path + ".bak", *previous, &backupError))
            std::fprintf(stderr, "opalene: no backup of %s kept: %s\n", path.c_str(), backupError.c_str());
    }
    return writeFileAtomically(path, *text, error);
}

} // namespace foundation
