#include <qel2/host.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

std::string hex(const unsigned char* bytes, size_t length) {
    std::string text;
    char pair[3];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        text += pair;
    }
    return text;
}

std::string md5(const std::string& text) {
    util_md5_ctx ctx;
    util_MD5Init(&ctx);
    util_MD5Update(&ctx, text.data(), text.size());
    util_MD5Final(&ctx);
    EXPECT_EQ(ctx.state, nullptr);
    return hex(ctx.digest, sizeof ctx.digest);
}

TEST(HostMd5, MatchesRfc1321TestSuite) {
    EXPECT_EQ(md5(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(md5("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(md5("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(md5("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(md5("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(md5("1234567890123456789012345678901234567890"
                  "1234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(HostMd5, PiecewiseUpdatesEqualOneShot) {
    const std::string text = "The quick brown fox jumps over the lazy dog, more than once: " + std::string(300, 'x');
    util_md5_ctx ctx;
    util_MD5Init(&ctx);
    for (size_t at = 0, step = 1; at < text.size(); at += step, step = step * 2 + 1) {
        util_MD5Update(&ctx, text.data() + at, std::min(step, text.size() - at));
    }
    util_MD5Update(&ctx, text.data(), 0);  // an empty update changes nothing
    util_MD5Final(&ctx);
    EXPECT_EQ(hex(ctx.digest, sizeof ctx.digest), md5(text));
}

}  // namespace
