// MD5 digests through OpenSSL's EVP interface.
#include <qel2/host.h>

#include <openssl/evp.h>

#include <cstring>

namespace {

EVP_MD_CTX* digest_state(util_md5_ctx* ctx) { return static_cast<EVP_MD_CTX*>(ctx->state); }

}  // namespace

void util_MD5Init(util_md5_ctx* ctx) {
    if (ctx == nullptr) return;
    std::memset(ctx->digest, 0, sizeof ctx->digest);
    EVP_MD_CTX* state = EVP_MD_CTX_new();
    if (state != nullptr && EVP_DigestInit_ex(state, EVP_md5(), nullptr) != 1) {
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
    if (EVP_DigestFinal_ex(digest_state(ctx), digest, &length) == 1 && length == sizeof ctx->digest) {
        std::memcpy(ctx->digest, digest, sizeof ctx->digest);
    }
    EVP_MD_CTX_free(digest_state(ctx));
    ctx->state = nullptr;
}
