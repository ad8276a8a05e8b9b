// Modules link no C runtime, but the compiler may still emit calls to these
// for struct copies and loops. This file is built with builtins off so that
// none of them turns into a call to itself.
#include <stddef.h>

extern "C" {

void* memcpy(void* destination, const void* source, size_t count) {
    unsigned char* to = static_cast<unsigned char*>(destination);
    const unsigned char* from = static_cast<const unsigned char*>(source);
    while (count--) *to++ = *from++;
    return destination;
}

void* memmove(void* destination, const void* source, size_t count) {
    unsigned char* to = static_cast<unsigned char*>(destination);
    const unsigned char* from = static_cast<const unsigned char*>(source);
    if (to < from) {
        while (count--) *to++ = *from++;
    } else {
        while (count--) to[count] = from[count];
    }
    return destination;
}

void* memset(void* destination, int byte, size_t count) {
    unsigned char* to = static_cast<unsigned char*>(destination);
    while (count--) *to++ = static_cast<unsigned char>(byte);
    return destination;
}

int memcmp(const void* left, const void* right, size_t count) {
    const unsigned char* a = static_cast<const unsigned char*>(left);
    const unsigned char* b = static_cast<const unsigned char*>(right);
    for (; count; --count, ++a, ++b)
        if (*a != *b) return *a < *b ? -1 : 1;
    return 0;
}

}
