#include "platform/foundation/ArchiveFormat.h"

namespace foundation::archive {

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sextet(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}
} // namespace

bool isReservedClassName(const std::string& name) {
    return name == kDictionary || name == kBytes || name == kReal || name == kRef;
}

std::string toBase64(const Bytes& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        std::uint32_t v = std::uint32_t(bytes[i]) << 16;
        if (n > 1) v |= std::uint32_t(bytes[i + 1]) << 8;
        if (n > 2) v |= bytes[i + 2];
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += n > 1 ? kAlphabet[(v >> 6) & 63] : '=';
        out += n > 2 ? kAlphabet[v & 63] : '=';
    }
    return out;
}

std::optional<Bytes> fromBase64(const std::string& text) {
    if (text.size() % 4 != 0) return std::nullopt;
    Bytes out;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const int pad = last ? (text[i + 3] == '=') + (text[i + 2] == '=') : 0;
        if (pad == 1 && text[i + 2] == '=') return std::nullopt; // "x=y=" shape
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k) {
            int s = k >= 4 - pad ? 0 : sextet(text[i + k]);
            if (s < 0) return std::nullopt;
            v = (v << 6) | std::uint32_t(s);
        }
        out.push_back(static_cast<std::uint8_t>(v >> 16));
        if (pad < 2) out.push_back(static_cast<std::uint8_t>(v >> 8));
        if (pad < 1) out.push_back(static_cast<std::uint8_t>(v));
    }
    return out;
}

} // namespace foundation::archive
