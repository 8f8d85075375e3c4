// MD5 digests through OpenSSL's EVP interface.
#include <qel2/host.h>

#include <openssl/evp.h>

#include <cstring>

namespace {

EVP_MD_CTX* digest_state(util_md5_ctx* ctx) { return static_cast<EVP_MD_CTX*>(ctx->state); }

// OpenSSL's MD5, looked up once and kept for the life of the process.
// EVP_md5() would make every EVP_DigestInit_ex fetch it from the provider
// again, which cost more than the digest of a short id itself. Null if the
// provider has no MD5; every digest then stays zero.
const EVP_MD* Md5() {
    static EVP_MD* const md5 = EVP_MD_fetch(nullptr, "MD5", nullptr);
    return md5;
}

}  // namespace

void util_MD5Init(util_md5_ctx* ctx) {
    if (ctx == nullptr) return;
    std::memset(ctx->digest, 0, sizeof ctx->digest);
    const EVP_MD* md5 = Md5();
    EVP_MD_CTX* state = md5 != nullptr ? EVP_MD_CTX_new() : nullptr;
    if (state != nullptr && EVP_DigestInit_ex(state, md5, nullptr) != 1) {
        EVP_MD_CTX_free(state);
        state = nullptr;
    }
    ctx->state = state;
}

void util_MD5Update(util_md5_ctx* ctx, const void* bytes, size_t length) {
    if (ctx == nullptr || ctx->state == nullptr || length == 0 || bytes == nullptr) return;
    EVP_DigestUpdate(digest_state(ctx), bytes, length);
}

void util_MD5Final(util_md5_ctx* ctx) {
    if (ctx == nullptr || ctx->state == nullptr) return;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(digest_state(ctx), digest, &length) == 1 &&
        length == sizeof ctx->digest) {
        std::memcpy(ctx->digest, digest, sizeof ctx->digest);
    }
    EVP_MD_CTX_free(digest_state(ctx));
    ctx->state = nullptr;
}
