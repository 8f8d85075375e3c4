#include <qel2/host.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

std::string hex(const util_md5_ctx& ctx) {
    std::string text;
    char pair[3];
    for (unsigned char byte : ctx.digest) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

// Digests `text` fed in pieces of 1, 3, 7, ... bytes (all at once for 0).
std::string md5(const std::string& text, bool piecewise = false) {
    util_md5_ctx ctx;
    util_MD5Init(&ctx);
    for (size_t at = 0, step = piecewise ? 1 : text.size(); at < text.size(); at += step, step = step * 2 + 1) {
        util_MD5Update(&ctx, text.data() + at, std::min(step, text.size() - at));
    }
    util_MD5Update(&ctx, text.data(), 0);  // an empty update changes nothing
    util_MD5Final(&ctx);
    EXPECT_EQ(ctx.state, nullptr);
    return hex(ctx);
}

TEST(HostMd5, MatchesRfc1321TestSuiteWholeAndPiecewise) {
    const std::pair<std::string, const char*> vectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"1234567890123456789012345678901234567890"
         "1234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, digest] : vectors) {
        EXPECT_EQ(md5(text), digest) << '"' << text << '"';
        EXPECT_EQ(md5(text, true), digest) << '"' << text << "\" piecewise";
    }
}

}  // namespace
