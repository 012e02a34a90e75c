#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fec/fec.h"

namespace {

struct Group {
    Group(int k, int n, int size) : k(k), n(n), size(size), blocks(n, std::vector<char>(size)) {
        for (int i = 0; i < k; ++i)
            for (int b = 0; b < size; ++b)
                blocks[i][b] = static_cast<char>((i * 37 + b * 11 + 5) & 0xFF);
        FEC_CODE* code = FEC_Create(k, n, nullptr);
        std::vector<char*> data(k);
        for (int i = 0; i < k; ++i) data[i] = blocks[i].data();
        for (int j = k; j < n; ++j) FEC_EncodeParity(code, j, data.data(), blocks[j].data(), size);
        FEC_Release(code);
    }
    int k, n, size;
    std::vector<std::vector<char>> blocks;
};

std::vector<unsigned char> parityOf(int k, int n, int row, const std::vector<unsigned char>& data) {
    FEC_CODE* code = FEC_Create(k, n, nullptr);
    std::vector<std::vector<char>> blocks(k, std::vector<char>(1));
    std::vector<char*> ptrs(k);
    for (int i = 0; i < k; ++i) {
        blocks[i][0] = static_cast<char>(data[i]);
        ptrs[i] = blocks[i].data();
    }
    char out = 0;
    EXPECT_EQ(FEC_EncodeParity(code, row, ptrs.data(), &out, 1), 1);
    FEC_Release(code);
    return {static_cast<unsigned char>(out)};
}

TEST(Fec, FieldTablesFollowThePolynomial0x11D) {
    const unsigned char* exp = fec_field::ExpTable();
    const unsigned char* log = fec_field::LogTable();
    const unsigned char* inv = fec_field::InverseTable();
    EXPECT_EQ(exp[8], 0x1D);  // alpha^8 = x^4 + x^3 + x^2 + 1
    EXPECT_EQ(exp[9], 0x3A);
    EXPECT_EQ(exp[254], 0x8E);  // alpha^-1
    EXPECT_EQ(exp[255], 1);
    EXPECT_EQ(exp[255 + 8], 0x1D);
    EXPECT_EQ(log[0], 255);
    EXPECT_EQ(log[2], 1);
    EXPECT_EQ(inv[0], 0);
    EXPECT_EQ(inv[1], 1);
    EXPECT_EQ(inv[2], 0x8E);
    for (int a = 1; a < 256; ++a) EXPECT_EQ(fec_field::Multiply(a, inv[a]), 1) << a;
    EXPECT_EQ(fec_field::Multiply(0x80, 2), 0x1D);
    EXPECT_EQ(fec_field::Multiply(0, 77), 0);
}

// The parity rows are pinned by hand, from the construction: temporary rows
// (1, 0, ..), then alpha^(r*c) for r = 0, 1, 2..; V = the top k rows; parity row
// j = temporary row j times V^-1.
//
// k = 2, n = 3: V = [[1,0],[1,1]], its own inverse in characteristic 2;
//   temporary row 2 = (alpha^0, alpha^1) = (1, 2);
//   (1, 2) V^-1 = (1 ^ 2, 2) = (3, 2).
//   For data (0x80, 0x01): 3*0x80 ^ 2*0x01 = (0x80*2 ^ 0x80) ^ 2
//                        = (0x100 ^ 0x11D ^ 0x80) ^ 2 = 0x9D ^ 2 = 0x9F.
// k = 3, n = 5: V = [[1,0,0],[1,1,1],[1,2,4]]; row 3 = (1,4,16), row 4 = (1,8,64).
//   Row 3: x V = (1,4,16): columns 1 and 2 give x1 + 2 x2 = 4 and x1 + 4 x2 = 16, so
//   6 x2 = 20; 20/6 = (x^4+x^2)/(x^2+x) = x(x+1) = 6, x2 = 6; x1 = 4 ^ 2*6 = 8;
//   column 0: x0 ^ x1 ^ x2 = 1, x0 = 15.  Parity row 3 = (15, 8, 6).
//   Row 4: 6 x2 = 8 ^ 64 = 0x48 = x^6+x^3; / (x^2+x) = x^2(x^2+x+1) = 28, x2 = 28;
//   x1 = 8 ^ 2*28 = 8 ^ 56 = 48; x0 = 1 ^ 48 ^ 28 = 45.  Parity row 4 = (45, 48, 28).
TEST(Fec, ParityBytesMatchTheHandComputedMatrix) {
    struct Case {
        int k, n, row;
        std::vector<unsigned char> data;
        unsigned char parity;
    } cases[] = {
        {2, 3, 2, {1, 0}, 3},
        {2, 3, 2, {0, 1}, 2},
        {2, 3, 2, {0x80, 0x01}, 0x9F},
        {3, 5, 3, {1, 0, 0}, 15},
        {3, 5, 3, {0, 1, 0}, 8},
        {3, 5, 3, {0, 0, 1}, 6},
        {3, 5, 4, {1, 0, 0}, 45},
        {3, 5, 4, {0, 1, 0}, 48},
        {3, 5, 4, {0, 0, 1}, 28},
        // Parity rows do not depend on n: the receiver opens every group with n = 14.
        {3, 14, 3, {1, 0, 0}, 15},
        {3, 14, 4, {0, 0, 1}, 28},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parityOf(c.k, c.n, c.row, c.data)[0], c.parity)
            << "k=" << c.k << " n=" << c.n << " row=" << c.row;
}

TEST(Fec, CreationRefusesImpossibleShapes) {
    EXPECT_EQ(FEC_Create(5, 4, nullptr), nullptr);
    EXPECT_EQ(FEC_Create(257, 257, nullptr), nullptr);
    EXPECT_EQ(FEC_Create(10, 257, nullptr), nullptr);
    FEC_CODE* big = FEC_Create(256, 256, nullptr);
    EXPECT_NE(big, nullptr);
    FEC_Release(big);
}

TEST(Fec, WithKOneEveryParityBlockIsTheDataBlock) {
    Group g(1, 4, 64);
    for (int j = 1; j < 4; ++j) EXPECT_EQ(g.blocks[j], g.blocks[0]) << j;
}

TEST(Fec, EncodeCopiesDataRowsAndRefusesRowsPastN) {
    Group g(3, 5, 8);
    FEC_CODE* code = FEC_Create(3, 5, nullptr);
    char* data[3] = {g.blocks[0].data(), g.blocks[1].data(), g.blocks[2].data()};
    std::vector<char> out(8, 'x');
    EXPECT_EQ(FEC_EncodeParity(code, 1, data, out.data(), 8), 1);
    EXPECT_EQ(out, g.blocks[1]);
    std::vector<char> untouched(8, 'x');
    EXPECT_EQ(FEC_EncodeParity(code, 5, data, untouched.data(), 8), 0);
    EXPECT_EQ(untouched, std::vector<char>(8, 'x'));
    FEC_Release(code);
}

// Decodes from the blocks marked in `present` (k of them); false when decoding fails.
// Decodes from the blocks marked in `mask` as the receiver does: each present data
// block at its own position, each missing one replaced by the next present parity
// block. false when decoding fails.
bool decodeFrom(const Group& g, unsigned mask, std::vector<std::vector<char>>& result) {
    std::vector<std::vector<char>> outs(g.k, std::vector<char>(g.size));
    std::vector<char*> outPtrs(g.k);
    for (int i = 0; i < g.k; ++i) outPtrs[i] = outs[i].data();
    result.assign(g.k, std::vector<char>(g.size));
    std::vector<char*> blocks(g.k);
    std::vector<int> indexes(g.k);
    int nextParity = g.k;
    for (int i = 0; i < g.k; ++i) {
        indexes[i] = i;
        if (!(mask & (1u << i))) {
            while (!(mask & (1u << nextParity))) ++nextParity;
            indexes[i] = nextParity++;
        }
        result[i] = g.blocks[indexes[i]];
        blocks[i] = result[i].data();
    }
    FEC_CODE* code = FEC_Create(g.k, g.n, outPtrs.data());
    const int ok = FEC_decode(code, blocks.data(), indexes.data(), g.size);
    FEC_Release(code);
    return ok == 1;
}

TEST(Fec, EveryLossPatternOfAtMostNMinusKBlocksIsRecovered) {
    struct Shape {
        int k, n, patterns;  // patterns with at least k of n blocks present
    } shapes[] = {{10, 12, 66 + 12 + 1}, {5, 6, 6 + 1}};
    for (const Shape& shape : shapes) {
        Group g(shape.k, shape.n, 1200);
        int patterns = 0;
        for (unsigned mask = 0; mask < (1u << g.n); ++mask) {
            if (__builtin_popcount(mask) < g.k) continue;
            ++patterns;
            std::vector<std::vector<char>> result;
            ASSERT_TRUE(decodeFrom(g, mask, result)) << std::hex << mask;
            for (int i = 0; i < g.k; ++i)
                ASSERT_EQ(result[i], g.blocks[i]) << "k=" << g.k << " mask=" << std::hex << mask;
        }
        EXPECT_EQ(patterns, shape.patterns);
    }
}

TEST(Fec, DecodingWithAllDataPresentChangesNothing) {
    Group g(5, 6, 100);
    std::vector<std::vector<char>> result;
    ASSERT_TRUE(decodeFrom(g, 0x1F, result));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(result[i], g.blocks[i]);
}

TEST(Fec, DecodingRefusesIndexesPastNAndRepeatedRows) {
    Group g(3, 5, 16);
    std::vector<char> o0(16), o1(16), o2(16);
    char* outs[3] = {o0.data(), o1.data(), o2.data()};
    FEC_CODE* code = FEC_Create(3, 5, outs);
    std::vector<char> b0 = g.blocks[0], p3 = g.blocks[3], p3b = g.blocks[3];
    char* blocks[3] = {b0.data(), p3.data(), p3b.data()};
    int past[3] = {0, 3, 5};
    EXPECT_EQ(FEC_decode(code, blocks, past, 16), 0);
    int repeated[3] = {0, 3, 3};
    EXPECT_EQ(FEC_decode(code, blocks, repeated, 16), 0);
    FEC_Release(code);
}

TEST(Fec, ReleaseLeavesACodeWithAWrongMagicAlone) {
    FEC_CODE* code = FEC_Create(4, 6, nullptr);
    const uint32_t magic = code->magic;
    code->magic ^= 1;
    FEC_Release(code);  // refused: the code is still readable
    EXPECT_EQ(code->k, 4);
    code->magic = magic;
    FEC_Release(code);
}

}  // namespace
