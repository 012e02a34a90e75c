// AES-128 in CBC mode with PKCS#7 padding, behind the cipher class the
// communication library calls.
#pragma once

namespace public_crypt {

class CRijndael {
public:
    enum { kBlockSize = 16, kKeyLength = 16 };
    // The only chaining mode there is: CBC, padding PKCS#7 (1 to 16 bytes of the
    // pad length, so every plain text, even an empty one, gains at least one byte).
    enum { kModeCbc = 0 };

    // A null key leaves the object without a key until MakeKey.
    CRijndael(const char* key, const char* chain, int mode, int keyLength, int blockSize);
    CRijndael(const CRijndael&) = delete;
    CRijndael& operator=(const CRijndael&) = delete;

    // Slot order is an interface: key set-up first, encryption second, decryption third.
    // Takes `keyLength` bytes of key and `blockSize` bytes of initial chain block.
    // true when the set-up is usable (AES-128: both 16, mode CBC).
    virtual bool MakeKey(const char* key, const char* chain, int mode, int keyLength,
                         int blockSize);
    // Cipher length (a multiple of 16), or -1 when not keyed, on bad arguments or
    // when `outCapacity` is below the padded length.
    virtual int Encrypt(const char* in, int inLength, char* out, int outCapacity);
    // Plain length; 0 when the cipher text is empty, not a multiple of 16 or its
    // padding is wrong; -1 when not keyed, on bad arguments or when the plain text
    // does not fit `outCapacity`. Nothing but a whole, checked plain text is written.
    virtual int Decrypt(const char* in, int inLength, char* out, int outCapacity);
    virtual ~CRijndael();

private:
    bool m_bKeyed = false;
    unsigned char m_key[kKeyLength] = {};
    unsigned char m_chain[kBlockSize] = {};
};

}  // namespace public_crypt
