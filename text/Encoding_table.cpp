// CP932 <-> UTF-8 by the generated tables (text/Cp932Table.h): the same bytes as glibc's
// iconv "CP932", for builds without it (WebAssembly) and for speed.
#include "text/Encoding.h"

#include "text/Cp932Table.h"

std::string cp932ToUtf8(std::string_view cp932) {
    std::string out;
    cp932::appendUtf8(out, cp932);
    return out;
}

std::string utf8ToCp932(std::string_view utf8, std::size_t* replaced) {
    std::string out;
    const std::size_t count = cp932::appendCp932(out, utf8);
    if (replaced) {
        *replaced = count;
    }
    return out;
}
