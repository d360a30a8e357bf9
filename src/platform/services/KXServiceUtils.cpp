#include "platform/services/KXServiceUtils.h"

#include <atomic>
#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace services {

namespace {
std::atomic<double> g_scale{1.0};

std::vector<long> versionNumbers(const std::string& version) {
    std::vector<long> numbers;
    const char* p = version.c_str();
    while (*p) {
        char* end = nullptr;
        long n = std::strtol(p, &end, 10);
        numbers.push_back(end == p ? 0 : n);
        p = end == p ? p + 1 : end;
        while (*p && *p != '.') ++p;
        if (*p == '.') ++p;
    }
    return numbers;
}
} // namespace

bool KXServiceUtils::isRetina() {
    return g_scale.load() > 1.0;
}

double KXServiceUtils::backingScaleFactor() {
    return g_scale.load();
}

void KXServiceUtils::setBackingScaleFactor(double scale) {
    if (std::isfinite(scale) && scale > 0) g_scale.store(scale);
}

float KXServiceUtils::systemVersion() {
    return 14.0f;
}

int KXServiceUtils::currentVersionCompare(const std::string& version) {
    return compareVersions("14.0", version);
}

int KXServiceUtils::compareVersions(const std::string& a, const std::string& b) {
    std::vector<long> x = versionNumbers(a), y = versionNumbers(b);
    for (size_t i = 0; i < std::max(x.size(), y.size()); ++i) {
        long u = i < x.size() ? x[i] : 0, v = i < y.size() ? y[i] : 0;
        if (u != v) return u < v ? -1 : 1;
    }
    return 0;
}

bool KXServiceUtils::validateEmail(const std::string& address) {
    const size_t at = address.find('@');
    if (at == std::string::npos || at == 0 || address.find('@', at + 1) != std::string::npos) return false;
    if (address.find_first_of(" \t\r\n") != std::string::npos) return false;
    const std::string domain = address.substr(at + 1);
    const size_t dot = domain.find('.');
    return dot != std::string::npos && dot > 0 && domain.back() != '.' && domain.find("..") == std::string::npos;
}

bool KXServiceUtils::saveEmailToRemoteDatabase(const std::string& /*address*/) { return false; }

} // namespace services
