// The WebAssembly build's string functions: the linker takes these before Emscripten's
// libc. The scans are web/StringScan.h; copies and fills are one bulk memory instruction
// each (-mbulk-memory), where musl's loops copy four bytes at a time.
#include <string.h>

#include "web/StringScan.h"

extern "C" {

size_t strlen(const char* s) {
    return scan::length(s);
}

char* strchr(const char* s, int c) {
    const char* at = scan::byteOrEnd(s, c);
    return *at == static_cast<char>(c) ? const_cast<char*>(at) : nullptr;
}

void* memchr(const void* s, int c, size_t n) {
    return const_cast<void*>(scan::findByte(s, c, n));
}

char* strstr(const char* haystack, const char* needle) {
    return const_cast<char*>(scan::find(haystack, needle));
}

void* memcpy(void* __restrict to, const void* __restrict from, size_t n) {
    __builtin_memcpy(to, from, n);
    return to;
}

void* memmove(void* to, const void* from, size_t n) {
    __builtin_memmove(to, from, n);
    return to;
}

void* memset(void* to, int c, size_t n) {
    __builtin_memset(to, c, n);
    return to;
}

} // extern "C"
