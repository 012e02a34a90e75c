// Systematic Reed-Solomon erasure code over GF(2^8) (Vandermonde construction):
// any k of the n blocks of a group give back the k data blocks. Sender and
// receiver interoperate only because both build exactly the same matrix, so the
// construction below must not change.
#pragma once

#include <cstdint>

struct FEC_CODE {
    uint32_t magic;  // 0xFECC0DEC ^ k ^ n ^ (address of enc_matrix)
    int k;
    int n;
    unsigned char* enc_matrix;  // n x k
    unsigned char* dec_matrix;  // k x k
    char** out;                 // k caller-owned output buffers (decoding only)
    int* indxc;                 // work arrays of the matrix inversion
    int* indxr;
    int* ipiv;
    unsigned char* id_row;
    unsigned char* temp_row;
};

// null when k > 256, n > 256, n < k, k < 1 or memory runs out. `out` holds k
// buffers for FEC_decode's results (null for a code that only encodes).
FEC_CODE* FEC_Create(int k, int n, char** out);
// index < k: copies data block `index` to out; index < n: parity row `index`;
// anything else writes nothing and returns 0. 1 otherwise.
int FEC_EncodeParity(FEC_CODE* code, int index, char** data, char* out, int size);
// blocks[i] is data block i when indexes[i] == i, else a parity block with its
// index (k..n-1); on success the missing data blocks are written over those
// parity blocks. 1 on success, 0 when the blocks do not determine the data.
int FEC_decode(FEC_CODE* code, char** blocks, int* indexes, int size);
// Frees a code made by FEC_Create; a code with a wrong magic is left alone.
void FEC_Release(FEC_CODE* code);

namespace fec_field {
// The field tables (built on first use, kept for the life of the process).
const unsigned char* ExpTable();  // 510 entries
const unsigned char* LogTable();  // 256 entries, log[0] = 255
const unsigned char* InverseTable();
unsigned char Multiply(unsigned char a, unsigned char b);
}  // namespace fec_field
