#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "TextLength.h"

// Every start alignment, every terminator position within a few words, and
// limits around the length; filled with bytes that tempt a word-wise zero
// test into a false hit (high bit set, all bits set, one).
TEST(BoundedLength, MatchesAByteScanAtEveryAlignmentAndLimit)
{
    alignas(16) char buffer[80];
    for (char fill : {'x', '\x80', '\xff', '\x01'}) {
        for (size_t offset = 0; offset < 16; ++offset) {
            for (size_t length = 0; length <= 40; ++length) {
                memset(buffer, fill, sizeof buffer);
                buffer[offset + length] = '\0';
                for (size_t limit : {size_t(0), length / 2, length, length + 1, size_t(40)}) {
                    EXPECT_EQ(BoundedLength(buffer + offset, limit), std::min(length, limit))
                        << "fill " << int(fill) << ", offset " << offset << ", length " << length
                        << ", limit " << limit;
                }
            }
        }
    }
}
