// CP932 <-> UTF-8 with glibc's iconv, whose "CP932" is the Windows-31J table.
#include "text/Encoding.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>
#include <unordered_map>

namespace {

// One converter per direction and thread, opened on first use: iconv_open is far
// dearer than a conversion of one field.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " +
                                     to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // skipBad: how many input bytes an unconvertible sequence at in takes.
    template <typename SkipBad>
    std::string convert(std::string_view input, std::string_view replacement, SkipBad skipBad,
                        std::size_t* replaced) {
        std::string out;
        out.resize(input.size() * 2 + 16);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        std::size_t used = 0;
        std::size_t count = 0;
        while (inLeft > 0) {
            char* dest = &out[used];
            std::size_t destLeft = out.size() - used;
            const std::size_t rc = iconv(cd_, &in, &inLeft, &dest, &destLeft);
            used = out.size() - destLeft;
            if (rc != static_cast<std::size_t>(-1)) {
                break;
            }
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL (cut off at the end): replace and go on after it.
            const std::size_t skip = std::min(inLeft, skipBad(in, inLeft));
            in += skip;
            inLeft -= skip;
            if (out.size() - used < replacement.size()) {
                out.resize(out.size() * 2 + replacement.size());
            }
            out.replace(used, replacement.size(), replacement);
            used += replacement.size();
            ++count;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(used);
        if (replaced) {
            *replaced = count;
        }
        return out;
    }

  private:
    iconv_t cd_;
};

bool isAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// The length of the UTF-8 sequence that starts at a byte, or 1 for a stray byte.
std::size_t utf8Length(const char* p, std::size_t left) {
    const auto c = static_cast<unsigned char>(*p);
    std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    for (std::size_t i = 1; i < n; ++i) {
        if (i >= left || (static_cast<unsigned char>(p[i]) & 0xC0) != 0x80) {
            return i;
        }
    }
    return n;
}

} // namespace

std::string cp932ToUtf8(std::string_view cp932) {
    if (isAscii(cp932)) {
        return std::string(cp932);
    }
    thread_local Converter converter("UTF-8", "CP932");
    const auto convert = [&] {
        return converter.convert(
            cp932, "\xEF\xBF\xBD", [](const char*, std::size_t) { return std::size_t{1}; },
            nullptr);
    };
    // Names, hand titles and yaku words come back thousands of times in a log, and a
    // look-up costs far less than a pass through iconv.
    constexpr std::size_t kCachedLength = 32;
    constexpr std::size_t kCacheEntries = 1 << 16;
    if (cp932.size() > kCachedLength) {
        return convert();
    }
    thread_local std::unordered_map<std::string, std::string> cache;
    const auto found = cache.find(std::string(cp932));
    if (found != cache.end()) {
        return found->second;
    }
    if (cache.size() >= kCacheEntries) {
        cache.clear();
    }
    return cache.emplace(std::string(cp932), convert()).first->second;
}

std::string utf8ToCp932(std::string_view utf8, std::size_t* replaced) {
    if (isAscii(utf8)) {
        if (replaced) {
            *replaced = 0;
        }
        return std::string(utf8);
    }
    thread_local Converter converter("CP932", "UTF-8");
    return converter.convert(utf8, "?", utf8Length, replaced);
}
