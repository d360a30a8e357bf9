#include "platform/services/KXServiceUtils.h"

#include <algorithm>
#include <atomic>
#include <cmath>
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
        while (*p && *p != '.')
            ++p;
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
    return dot != std::string::npos && dot > 0 && domain.back() != '.' &&
           domain.find("..") == std::string::npos;
}

bool KXServiceUtils::saveEmailToRemoteDatabase(const std::string& /*address*/) {
    return false;
}

} // namespace services

namespace services {

namespace {

// Code points of valid UTF-8 (no overlongs, surrogates or values past U+10FFFF); false otherwise.
bool decodeUtf8(const std::string& text, std::vector<char32_t>* out) {
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + size_t(length) > text.size()) return false;
        char32_t point = length == 1 ? c : c & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + size_t(k)]);
            if ((next >> 6) != 0x2) return false;
            point = (point << 6) | (next & 0x3F);
        }
        static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < kLeast[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return false;
        out->push_back(point);
        i += size_t(length);
    }
    return true;
}

} // namespace

bool KXServiceUtils::isTextFieldStringValid(const std::string& text, int type) {
    std::vector<char32_t> points;
    if (!decodeUtf8(text, &points)) return false;
    if (type != 0) return true;
    if (points.size() >= 32) return false;
    for (char32_t point : points)
        if (point < 0x20 || (point >= 0x7F && point < 0xA0) || point == 0x2028 || point == 0x2029)
            return false;
    return true;
}

} // namespace services
