// Erasure-code throughput with 1200-byte blocks, beside a plain XOR of the same
// blocks as the memory-speed reference. Bytes counted: the k data blocks of a group.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "fec/fec.h"

namespace {

const int kBlock = 1200;

struct Group {
    Group(int k, int n) : k(k), n(n), blocks(n, std::vector<char>(kBlock)) {
        for (int i = 0; i < k; ++i)
            for (int b = 0; b < kBlock; ++b) blocks[i][b] = static_cast<char>(i * 31 + b * 7);
        for (int i = 0; i < k; ++i) data.push_back(blocks[i].data());
    }
    int k, n;
    std::vector<std::vector<char>> blocks;
    std::vector<char*> data;
};

void setBytes(benchmark::State& state, int k) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * k * kBlock);
}

// Parity of one group with a code made once.
void BM_FecEncode(benchmark::State& state) {
    Group g(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    FEC_CODE* code = FEC_Create(g.k, g.n, nullptr);
    for (auto _ : state) {
        for (int j = g.k; j < g.n; ++j)
            FEC_EncodeParity(code, j, g.data.data(), g.blocks[j].data(), kBlock);
        benchmark::ClobberMemory();
    }
    FEC_Release(code);
    setBytes(state, g.k);
}

// As the sender closes a group: create the code, compute the parity, release it.
void BM_FecEncodeGroup(benchmark::State& state) {
    Group g(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        FEC_CODE* code = FEC_Create(g.k, g.n, nullptr);
        for (int j = g.k; j < g.n; ++j)
            FEC_EncodeParity(code, j, g.data.data(), g.blocks[j].data(), kBlock);
        FEC_Release(code);
        benchmark::ClobberMemory();
    }
    setBytes(state, g.k);
}

// As the receiver recovers a group: the first n - k data blocks are lost and
// rebuilt from all parity blocks (code made per group, as the receiver does).
void BM_FecDecodeGroup(benchmark::State& state) {
    Group g(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    FEC_CODE* enc = FEC_Create(g.k, g.n, nullptr);
    for (int j = g.k; j < g.n; ++j)
        FEC_EncodeParity(enc, j, g.data.data(), g.blocks[j].data(), kBlock);
    FEC_Release(enc);
    const int lost = g.n - g.k;
    std::vector<std::vector<char>> work(g.k, std::vector<char>(kBlock));
    std::vector<std::vector<char>> outs(g.k, std::vector<char>(kBlock));
    std::vector<char*> outPtrs, blocks(g.k);
    for (auto& o : outs) outPtrs.push_back(o.data());
    std::vector<int> indexes(g.k);
    for (auto _ : state) {
        for (int i = 0; i < g.k; ++i) {
            if (i < lost) {
                std::memcpy(work[i].data(), g.blocks[g.k + i].data(), kBlock);
                indexes[i] = g.k + i;
                blocks[i] = work[i].data();
            } else {
                indexes[i] = i;
                blocks[i] = g.blocks[i].data();
            }
        }
        FEC_CODE* code = FEC_Create(g.k, g.n, outPtrs.data());
        FEC_decode(code, blocks.data(), indexes.data(), kBlock);
        FEC_Release(code);
        benchmark::ClobberMemory();
    }
    setBytes(state, g.k);
}

// out ^= in, eight bytes at a time (1200 is a multiple of 8).
void xorInto(char* __restrict out, const char* __restrict in) {
    for (int b = 0; b < kBlock; b += 8) {
        uint64_t x, y;
        std::memcpy(&x, out + b, 8);
        std::memcpy(&y, in + b, 8);
        x ^= y;
        std::memcpy(out + b, &x, 8);
    }
}

// The same data volume through n - k plain XOR rows.
void BM_XorReference(benchmark::State& state) {
    Group g(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        for (int j = g.k; j < g.n; ++j) {
            char* out = g.blocks[j].data();
            std::memset(out, 0, kBlock);
            for (int i = 0; i < g.k; ++i) xorInto(out, g.data[i]);
        }
        benchmark::ClobberMemory();
    }
    setBytes(state, g.k);
}

#define FEC_SHAPES Args({10, 12})->Args({5, 6})
BENCHMARK(BM_FecEncode)->FEC_SHAPES;
BENCHMARK(BM_FecEncodeGroup)->FEC_SHAPES;
BENCHMARK(BM_FecDecodeGroup)->FEC_SHAPES;
BENCHMARK(BM_XorReference)->FEC_SHAPES;

}  // namespace
