#pragma once

// User-visible text. Keys are English texts or kString... identifiers; the answer is the English
// text for a known identifier and the key itself otherwise, so settings stay keyed by the key.
// Safe from any thread.

#include <string>

namespace services {

class KXSLocalization {
  public:
    static std::string localizedStringForKey(const std::string& key, const std::string& comment);
};

} // namespace services
