#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// The length of a zero-terminated text, or `limit` if it is longer. The
// runtime's own scans go a byte at a time, which for a long message costs as
// much as formatting it; this one reads aligned machine words, and an
// aligned word never reaches into a page that the text's last byte is not on.
inline size_t BoundedLength(const char* text, size_t limit)
{
    constexpr uintptr_t lowBits = ~uintptr_t(0) / 0xFF;  // 0x01 in every byte
    constexpr uintptr_t highBits = lowBits << 7;         // 0x80 in every byte
    size_t length = 0;
    while (length < limit && reinterpret_cast<uintptr_t>(text + length) % sizeof(uintptr_t)) {
        if (!text[length])
            return length;
        ++length;
    }
    while (length + sizeof(uintptr_t) <= limit) {
        uintptr_t word;
        memcpy(&word, text + length, sizeof word);
        if ((word - lowBits) & ~word & highBits)
            break;  // a zero byte in this word
        length += sizeof word;
    }
    while (length < limit && text[length])
        ++length;
    return length;
}
