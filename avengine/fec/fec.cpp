#include "fec/fec.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

namespace {

const char kPolynomial[] = "101110001";  // x^8 + x^4 + x^3 + x^2 + 1 (0x11D)

unsigned char g_exp[510];
unsigned char g_log[256];
unsigned char g_inverse[256];
unsigned char g_mul[256][256];
std::once_flag g_fieldOnce;

int reduce(int x) {
    while (x >= 255) {
        x -= 255;
        x = (x >> 8) + (x & 255);
    }
    return x;
}

void buildField() {
    g_exp[8] = 0;
    for (int i = 0; i < 8; ++i) {
        g_exp[i] = static_cast<unsigned char>(1 << i);
        if (kPolynomial[i] == '1') g_exp[8] ^= static_cast<unsigned char>(1 << i);
    }
    for (int i = 9; i < 255; ++i) {
        if (g_exp[i - 1] >= 0x80)
            g_exp[i] = static_cast<unsigned char>(g_exp[8] ^ ((g_exp[i - 1] ^ 0x80) << 1));
        else
            g_exp[i] = static_cast<unsigned char>(g_exp[i - 1] << 1);
    }
    for (int i = 0; i < 255; ++i) g_log[g_exp[i]] = static_cast<unsigned char>(i);
    g_log[0] = 255;
    for (int i = 0; i < 255; ++i) g_exp[i + 255] = g_exp[i];
    g_inverse[0] = 0;
    g_inverse[1] = 1;
    for (int i = 2; i < 256; ++i) g_inverse[i] = g_exp[255 - g_log[i]];
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 256; ++y)
            g_mul[x][y] = (x && y) ? g_exp[reduce(g_log[x] + g_log[y])] : 0;
}

// Sender and receiver threads may create their first code at the same time.
void initField() {
    std::call_once(g_fieldOnce, buildField);
}

// dst ^= c * src over `size` bytes.
void addMul(unsigned char* dst, const unsigned char* src, unsigned char c, int size) {
    if (c == 0) return;
    const unsigned char* row = g_mul[c];
    int i = 0;
    for (; i + 16 <= size; i += 16) {
        dst[i + 0] ^= row[src[i + 0]];
        dst[i + 1] ^= row[src[i + 1]];
        dst[i + 2] ^= row[src[i + 2]];
        dst[i + 3] ^= row[src[i + 3]];
        dst[i + 4] ^= row[src[i + 4]];
        dst[i + 5] ^= row[src[i + 5]];
        dst[i + 6] ^= row[src[i + 6]];
        dst[i + 7] ^= row[src[i + 7]];
        dst[i + 8] ^= row[src[i + 8]];
        dst[i + 9] ^= row[src[i + 9]];
        dst[i + 10] ^= row[src[i + 10]];
        dst[i + 11] ^= row[src[i + 11]];
        dst[i + 12] ^= row[src[i + 12]];
        dst[i + 13] ^= row[src[i + 13]];
        dst[i + 14] ^= row[src[i + 14]];
        dst[i + 15] ^= row[src[i + 15]];
    }
    for (; i < size; ++i) dst[i] ^= row[src[i]];
}

// In-place Gauss-Jordan inversion of the k x k matrix `a` with full pivoting;
// false when it is singular. The work arrays hold k entries each.
bool invertMatrix(unsigned char* a, int k, int* indxc, int* indxr, int* ipiv) {
    for (int i = 0; i < k; ++i) ipiv[i] = 0;
    for (int col = 0; col < k; ++col) {
        int irow = -1, icol = -1;
        // Any non-zero element is an exact pivot in GF(2^8); prefer the diagonal.
        if (ipiv[col] == 0 && a[col * k + col] != 0) {
            irow = icol = col;
        } else {
            for (int r = 0; r < k && icol < 0; ++r) {
                if (ipiv[r] != 0) continue;
                for (int c = 0; c < k; ++c) {
                    if (ipiv[c] == 0 && a[r * k + c] != 0) {
                        irow = r;
                        icol = c;
                        break;
                    }
                }
            }
        }
        if (icol < 0) return false;
        ipiv[icol] = 1;
        if (irow != icol) {
            for (int c = 0; c < k; ++c) {
                unsigned char t = a[irow * k + c];
                a[irow * k + c] = a[icol * k + c];
                a[icol * k + c] = t;
            }
        }
        indxr[col] = irow;
        indxc[col] = icol;
        unsigned char* pivotRow = a + icol * k;
        unsigned char pivInverse = g_inverse[pivotRow[icol]];
        pivotRow[icol] = 1;
        for (int c = 0; c < k; ++c) pivotRow[c] = g_mul[pivInverse][pivotRow[c]];
        // Rows other than the pivot row lose their icol component.
        for (int r = 0; r < k; ++r) {
            if (r == icol) continue;
            unsigned char* row = a + r * k;
            unsigned char c = row[icol];
            row[icol] = 0;
            addMul(row, pivotRow, c, k);
        }
    }
    for (int col = k - 1; col >= 0; --col) {
        if (indxr[col] == indxc[col]) continue;
        for (int r = 0; r < k; ++r) {
            unsigned char t = a[r * k + indxr[col]];
            a[r * k + indxr[col]] = a[r * k + indxc[col]];
            a[r * k + indxc[col]] = t;
        }
    }
    return true;
}

uint32_t magicOf(const FEC_CODE* code) {
    return 0xFECC0DECu ^ static_cast<uint32_t>(code->k) ^ static_cast<uint32_t>(code->n) ^
           static_cast<uint32_t>(reinterpret_cast<uintptr_t>(code->enc_matrix));
}

void freeCode(FEC_CODE* code) {
    std::free(code->enc_matrix);
    std::free(code->dec_matrix);
    std::free(code->out);
    std::free(code->indxc);
    std::free(code->indxr);
    std::free(code->ipiv);
    std::free(code->id_row);
    std::free(code->temp_row);
    std::free(code);
}

}  // namespace

namespace fec_field {
const unsigned char* ExpTable() {
    initField();
    return g_exp;
}
const unsigned char* LogTable() {
    initField();
    return g_log;
}
const unsigned char* InverseTable() {
    initField();
    return g_inverse;
}
unsigned char Multiply(unsigned char a, unsigned char b) {
    initField();
    return g_mul[a][b];
}
}  // namespace fec_field

FEC_CODE* FEC_Create(int k, int n, char** out) {
    if (k < 1 || k > 256 || n > 256 || n < k) return nullptr;
    initField();
    const size_t ku = static_cast<size_t>(k), nu = static_cast<size_t>(n);

    // Rows: (1, 0, ..., 0), then alpha^(r * c) for r = 0..n-2.
    unsigned char* tmp = static_cast<unsigned char*>(std::calloc(nu * ku, 1));
    unsigned char* vInv = static_cast<unsigned char*>(std::calloc(ku * ku, 1));
    int* work = static_cast<int*>(std::calloc(3 * ku, sizeof(int)));
    FEC_CODE* code = static_cast<FEC_CODE*>(std::calloc(1, sizeof(FEC_CODE)));
    bool ok = tmp && vInv && work && code;
    if (ok) {
        tmp[0] = 1;
        for (int r = 0; r + 1 < n; ++r)
            for (int c = 0; c < k; ++c) tmp[(r + 1) * k + c] = g_exp[reduce(r * c)];
        std::memcpy(vInv, tmp, ku * ku);
        // A Vandermonde matrix of distinct points is never singular.
        ok = invertMatrix(vInv, k, work, work + k, work + 2 * k);
    }
    if (ok) {
        code->k = k;
        code->n = n;
        code->enc_matrix = static_cast<unsigned char*>(std::calloc(nu * ku, 1));
        code->dec_matrix = static_cast<unsigned char*>(std::calloc(ku * ku, 1));
        code->out = static_cast<char**>(std::calloc(ku, sizeof(char*)));
        code->indxc = static_cast<int*>(std::calloc(ku, sizeof(int)));
        code->indxr = static_cast<int*>(std::calloc(ku, sizeof(int)));
        code->ipiv = static_cast<int*>(std::calloc(ku, sizeof(int)));
        code->id_row = static_cast<unsigned char*>(std::calloc(ku, 1));
        code->temp_row = static_cast<unsigned char*>(std::calloc(ku, 1));
        ok = code->enc_matrix && code->dec_matrix && code->out && code->indxc && code->indxr &&
             code->ipiv && code->id_row && code->temp_row;
    }
    if (ok) {
        unsigned char* enc = code->enc_matrix;
        for (int i = 0; i < k; ++i) enc[i * k + i] = 1;
        for (int j = k; j < n; ++j) {
            for (int c = 0; c < k; ++c) {
                unsigned char acc = 0;
                for (int i = 0; i < k; ++i) acc ^= g_mul[tmp[j * k + i]][vInv[i * k + c]];
                enc[j * k + c] = acc;
            }
        }
        if (out)
            for (int i = 0; i < k; ++i) code->out[i] = out[i];
        code->magic = magicOf(code);
    } else if (code) {
        freeCode(code);
        code = nullptr;
    }
    std::free(tmp);
    std::free(vInv);
    std::free(work);
    return code;
}

int FEC_EncodeParity(FEC_CODE* code, int index, char** data, char* out, int size) {
    if (!code || !data || !out || size < 0 || index < 0) return 0;
    const int k = code->k;
    if (index < k) {
        std::memcpy(out, data[index], static_cast<size_t>(size));
        return 1;
    }
    if (index >= code->n) return 0;
    std::memset(out, 0, static_cast<size_t>(size));
    const unsigned char* row = code->enc_matrix + index * k;
    for (int i = 0; i < k; ++i)
        addMul(reinterpret_cast<unsigned char*>(out),
               reinterpret_cast<const unsigned char*>(data[i]), row[i], size);
    return 1;
}

int FEC_decode(FEC_CODE* code, char** blocks, int* indexes, int size) {
    if (!code || !blocks || !indexes || size < 0) return 0;
    const int k = code->k, n = code->n;
    unsigned char* dec = code->dec_matrix;
    for (int i = 0; i < k; ++i) {
        unsigned char* row = dec + i * k;
        if (indexes[i] < 0 || indexes[i] >= n) return 0;
        if (indexes[i] < k) {
            std::memset(row, 0, static_cast<size_t>(k));
            row[i] = 1;
        } else {
            std::memcpy(row, code->enc_matrix + indexes[i] * k, static_cast<size_t>(k));
        }
    }
    if (!invertMatrix(dec, k, code->indxc, code->indxr, code->ipiv)) return 0;
    for (int i = 0; i < k; ++i) {
        if (indexes[i] < k) continue;
        // Recovery needs somewhere to put the result before blocks are overwritten.
        if (!code->out[i]) return 0;
    }
    for (int i = 0; i < k; ++i) {
        if (indexes[i] < k) continue;
        unsigned char* dst = reinterpret_cast<unsigned char*>(code->out[i]);
        std::memset(dst, 0, static_cast<size_t>(size));
        for (int j = 0; j < k; ++j)
            addMul(dst, reinterpret_cast<const unsigned char*>(blocks[j]), dec[i * k + j], size);
    }
    // Only the recovered positions are copied back: the present data blocks stay as given.
    for (int i = 0; i < k; ++i) {
        if (indexes[i] < k) continue;
        std::memcpy(blocks[i], code->out[i], static_cast<size_t>(size));
    }
    return 1;
}

void FEC_Release(FEC_CODE* code) {
    if (!code || code->magic != magicOf(code)) return;
    freeCode(code);
}
