#include "platform/foundation/PropertyList.h"

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/PlainJson.h"

namespace foundation {

bool PropertyList::write(const Value& value, const std::string& path, std::string* error) {
    std::optional<nlohmann::json> json = toPlainJson(value, error);
    std::optional<std::string> text = json ? dumpJson(*json, error) : std::nullopt;
    return text && writeFileAtomically(path, *text, error);
}

std::optional<Value> PropertyList::read(const std::string& path, std::string* error) {
    std::optional<std::string> text = readWholeFile(path, error);
    if (!text) return std::nullopt;
    nlohmann::json json = nlohmann::json::parse(*text, nullptr, false);
    if (json.is_discarded()) {
        if (error) *error = "damaged JSON in " + path;
        return std::nullopt;
    }
    return fromPlainJson(json, error);
}

} // namespace foundation
