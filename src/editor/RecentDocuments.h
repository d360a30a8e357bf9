#pragma once
// The recent-files list the document controller keeps and the editor's splash screen offers:
// newest first, without duplicates, at most ten, kept in the user defaults.
#include <string>
#include <vector>

class RecentDocuments {
  public:
    static constexpr size_t kMaximum = 10;
    static std::vector<std::string> recentDocumentURLs();
    static void noteNewRecentDocumentURL(const std::string& path);
    static void clearRecentDocuments();
};
