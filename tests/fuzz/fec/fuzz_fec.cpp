// The erasure code on hostile index lists and sizes (repeated indexes, indexes past
// n or below zero, parity indexes below k, codes with n < k), and a round trip on
// the rest: blocks lost, rebuilt from parity the encoder made, and compared.
//
// Input: k, n, u16 block size, mode; mode 0: k indexes (byte - 16), then block bytes;
// mode 1: a lost/kept byte per data block, then the data.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "FuzzInput.h"
#include "fec/fec.h"

namespace {

using Block = std::unique_ptr<char[]>;

// Each block on its own allocation of exactly `size` bytes, so that a read or
// write past one is seen.
std::vector<Block> MakeBlocks(int count, int size, fuzzing::FuzzInput& in) {
    std::vector<Block> blocks;
    for (int i = 0; i < count; ++i) {
        blocks.emplace_back(new char[static_cast<size_t>(size > 0 ? size : 1)]);
        std::vector<uint8_t> bytes = in.Bytes(static_cast<size_t>(size));
        std::memset(blocks.back().get(), 0, static_cast<size_t>(size > 0 ? size : 1));
        if (!bytes.empty()) std::memcpy(blocks.back().get(), bytes.data(), bytes.size());
    }
    return blocks;
}

std::vector<char*> Pointers(const std::vector<Block>& blocks) {
    std::vector<char*> p;
    for (const Block& b : blocks) p.push_back(b.get());
    return p;
}

void Hostile(int k, int n, int size, fuzzing::FuzzInput& in) {
    std::vector<int> indexes(static_cast<size_t>(k));
    for (int& i : indexes) i = static_cast<int>(in.U8()) - 16;
    std::vector<Block> out = MakeBlocks(k, size, in);
    std::vector<Block> blocks = MakeBlocks(k, size, in);
    std::vector<char*> outs = Pointers(out), given = Pointers(blocks);
    FEC_CODE* code = FEC_Create(k, n, outs.data());
    if (!code) return;
    FEC_decode(code, given.data(), indexes.data(), size);
    FEC_Release(code);
}

void RoundTrip(int k, int n, int size, fuzzing::FuzzInput& in) {
    std::vector<bool> lost(static_cast<size_t>(k));
    int lostCount = 0;
    for (int i = 0; i < k; ++i) lostCount += (lost[static_cast<size_t>(i)] = (in.U8() & 1) != 0);
    if (lostCount > n - k) return;
    std::vector<Block> data = MakeBlocks(k, size, in);
    std::vector<Block> out = MakeBlocks(k, size, in);
    std::vector<char*> dataPointers = Pointers(data), outs = Pointers(out);
    FEC_CODE* code = FEC_Create(k, n, outs.data());
    if (!code) std::abort();  // 1 <= k <= n <= 256 always makes a code
    // The lost blocks' places get parity rows k, k + 1, ... as a receiver fills them.
    std::vector<Block> received = MakeBlocks(k, size, in);
    std::vector<int> indexes(static_cast<size_t>(k));
    int nextParity = k;
    for (int i = 0; i < k; ++i) {
        const size_t at = static_cast<size_t>(i);
        indexes[at] = lost[at] ? nextParity++ : i;
        if (!FEC_EncodeParity(code, indexes[at], dataPointers.data(), received[at].get(), size))
            std::abort();
    }
    std::vector<char*> given = Pointers(received);
    if (!FEC_decode(code, given.data(), indexes.data(), size)) {
        std::fprintf(stderr, "fec fuzz: k=%d n=%d: a decodable set was refused\n", k, n);
        std::abort();
    }
    for (int i = 0; i < k; ++i) {
        const size_t at = static_cast<size_t>(i);
        if (std::memcmp(given[at], data[at].get(), static_cast<size_t>(size)) != 0) {
            std::fprintf(stderr, "fec fuzz: k=%d n=%d: block %d comes back wrong\n", k, n, i);
            std::abort();
        }
    }
    FEC_Release(code);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::FuzzInput in(data, size);
    // Up to 40 blocks of up to 1500 bytes: the receiver's groups are 14 blocks.
    const int k = 1 + in.U8() % 40;
    const int n = in.U8() % 48;
    const int blockSize = in.U16() % 1501;
    if (in.U8() & 1)
        RoundTrip(k, n, blockSize, in);
    else
        Hostile(k, n, blockSize, in);
    return 0;
}
