#include "globalconf/GlobalConfCodec.h"

#include <climits>
#include <cstdint>
#include <vector>

#include "config/GLobalConfigFile.h"
#include "quorv/Rijndael.h"
#include "win32/win32.h"

namespace globalconf {

namespace {

const int kBlock = public_crypt::CRijndael::kBlockSize;

void keyed(public_crypt::CRijndael& aes) {
    aes.MakeKey(GLOBALCONF_CIPHER_KEY, GLOBALCONF_CIPHER_KEY, 0, 16, 16);
}

}  // namespace

std::string Encrypt(const std::string& plain) {
    if (plain.size() > static_cast<size_t>(INT_MAX - 2 * kBlock)) return std::string();
    public_crypt::CRijndael aes(nullptr, nullptr, 0, 16, 16);
    keyed(aes);
    const int capacity = static_cast<int>(plain.size()) + kBlock;
    std::vector<char> cipher(static_cast<size_t>(capacity));
    int n = aes.Encrypt(plain.data(), static_cast<int>(plain.size()), cipher.data(), capacity);
    if (n <= 0) return std::string();
    std::string file(4, '\0');
    const uint32_t length = static_cast<uint32_t>(n);
    for (int i = 0; i < 4; ++i) file[static_cast<size_t>(i)] = static_cast<char>(length >> (8 * i));
    file.append(cipher.data(), static_cast<size_t>(n));
    return file;
}

bool Decrypt(const std::string& file, std::string& plain) {
    if (file.size() < 4) return false;
    uint32_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= static_cast<uint32_t>(static_cast<unsigned char>(file[static_cast<size_t>(i)]))
                  << (8 * i);
    if (static_cast<uint64_t>(length) + 4 != file.size() || length > INT_MAX - 2u * kBlock)
        return false;
    public_crypt::CRijndael aes(nullptr, nullptr, 0, 16, 16);
    keyed(aes);
    const int capacity = static_cast<int>(length) + kBlock;
    std::vector<char> out(static_cast<size_t>(capacity));
    int n = aes.Decrypt(file.data() + 4, static_cast<int>(length), out.data(), capacity);
    // An empty text is refused like a bad one, as the client's reader does.
    if (n <= 0) return false;
    plain.assign(out.data(), static_cast<size_t>(n));
    return true;
}

bool WriteFile(const std::wstring& path, const std::string& plain) {
    std::string file = Encrypt(plain);
    return !file.empty() && winplat::WriteFileAtomically(path, file.data(), file.size());
}

bool ReadFile(const std::wstring& path, std::string& plain) {
    std::string file;
    return winplat::ReadWholeFile(path, file) && Decrypt(file, plain);
}

}  // namespace globalconf
