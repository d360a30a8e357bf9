#include "editor/RecentDocuments.h"

#include "platform/foundation/UserDefaults.h"

#include <algorithm>

namespace {
constexpr const char* kRecentDocumentsKey = "RecentDocuments";
}

std::vector<std::string> RecentDocuments::recentDocumentURLs() {
    std::vector<std::string> paths;
    if (auto stored = foundation::UserDefaults::standardUserDefaults().arrayForKey(kRecentDocumentsKey))
        for (const foundation::Value& value : *stored)
            if (const std::string* path = value.getString(); path && !path->empty()) paths.push_back(*path);
    return paths;
}

void RecentDocuments::noteNewRecentDocumentURL(const std::string& path) {
    if (path.empty()) return;
    std::vector<std::string> paths = recentDocumentURLs();
    paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
    paths.insert(paths.begin(), path);
    if (paths.size() > kMaximum) paths.resize(kMaximum);
    foundation::Array stored(paths.begin(), paths.end());
    foundation::UserDefaults::standardUserDefaults().setObject(foundation::Value(std::move(stored)),
                                                               kRecentDocumentsKey);
}

void RecentDocuments::clearRecentDocuments() {
    foundation::UserDefaults::standardUserDefaults().removeObjectForKey(kRecentDocumentsKey);
}
