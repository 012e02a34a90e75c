#include "quorv/Rijndael.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <cstring>
#include <memory>
#include <vector>

namespace public_crypt {

namespace {

struct CtxFree {
    void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};
using Ctx = std::unique_ptr<EVP_CIPHER_CTX, CtxFree>;

// Runs the whole cipher into `out`; false on any failure (for decryption a bad
// final block, i.e. wrong padding, is a failure).
bool runCipher(bool encrypt, const unsigned char* key, const unsigned char* iv,
               const unsigned char* in, int inLength, std::vector<unsigned char>& out) {
    Ctx ctx(EVP_CIPHER_CTX_new());
    if (!ctx) return false;
    if (EVP_CipherInit_ex(ctx.get(), EVP_aes_128_cbc(), nullptr, key, iv, encrypt ? 1 : 0) != 1)
        return false;
    EVP_CIPHER_CTX_set_padding(ctx.get(), 1);
    out.assign(static_cast<size_t>(inLength) + CRijndael::kBlockSize, 0);
    int n = 0, tail = 0;
    if (EVP_CipherUpdate(ctx.get(), out.data(), &n, in, inLength) != 1) return false;
    if (EVP_CipherFinal_ex(ctx.get(), out.data() + n, &tail) != 1) return false;
    out.resize(static_cast<size_t>(n + tail));
    return true;
}

}  // namespace

CRijndael::CRijndael(const char* key, const char* chain, int mode, int keyLength, int blockSize) {
    if (key) MakeKey(key, chain, mode, keyLength, blockSize);
}

CRijndael::~CRijndael() {
    OPENSSL_cleanse(m_key, sizeof m_key);
    OPENSSL_cleanse(m_chain, sizeof m_chain);
}

bool CRijndael::MakeKey(const char* key, const char* chain, int mode, int keyLength,
                        int blockSize) {
    m_bKeyed = false;
    if (!key || !chain || mode != kModeCbc || keyLength != kKeyLength || blockSize != kBlockSize)
        return false;
    std::memcpy(m_key, key, kKeyLength);
    std::memcpy(m_chain, chain, kBlockSize);
    m_bKeyed = true;
    return true;
}

int CRijndael::Encrypt(const char* in, int inLength, char* out, int outCapacity) {
    if (!m_bKeyed || inLength < 0 || (!in && inLength > 0) || !out) return -1;
    // In 64 bits: near INT_MAX the padded length does not fit an int.
    const long long padded = (static_cast<long long>(inLength) / kBlockSize + 1) * kBlockSize;
    if (padded > outCapacity) return -1;
    std::vector<unsigned char> result;
    static const unsigned char kEmpty = 0;
    const unsigned char* src = in ? reinterpret_cast<const unsigned char*>(in) : &kEmpty;
    if (!runCipher(true, m_key, m_chain, src, inLength, result)) return -1;
    std::memcpy(out, result.data(), result.size());
    return static_cast<int>(result.size());
}

int CRijndael::Decrypt(const char* in, int inLength, char* out, int outCapacity) {
    if (!m_bKeyed || inLength < 0 || (!in && inLength > 0) || !out || outCapacity < 0) return -1;
    if (inLength == 0 || inLength % kBlockSize != 0) return 0;
    std::vector<unsigned char> result;
    bool ok = runCipher(false, m_key, m_chain, reinterpret_cast<const unsigned char*>(in), inLength,
                        result);
    int length = ok ? static_cast<int>(result.size()) : 0;
    if (ok && length > outCapacity) length = -1;
    if (length > 0) std::memcpy(out, result.data(), result.size());
    OPENSSL_cleanse(result.data(), result.size());
    return length;
}

}  // namespace public_crypt
