// Seeds of the erasure-code target: the receiver's shapes, (10, 14) and (5, 14), with
// data lost and the parity that stands in, and a few hostile index lists.
#include <vector>

#include "SeedWriter.h"

int main(int argc, char** argv) {
    fuzzing::SeedWriter seeds(argc, argv);
    auto shape = [](int k, int n, int size, int mode) {
        return std::vector<uint8_t>{static_cast<uint8_t>(k - 1), static_cast<uint8_t>(n),
                                    static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                                    static_cast<uint8_t>(mode)};
    };
    auto withBytes = [](std::vector<uint8_t> v, size_t n, uint8_t seed) {
        for (size_t i = 0; i < n; ++i) v.push_back(static_cast<uint8_t>(seed + i * 7));
        return v;
    };
    // Round trips: the first two (then the last four) of ten data blocks lost.
    std::vector<uint8_t> two = shape(10, 14, 64, 1);
    for (int i = 0; i < 10; ++i) two.push_back(i < 2 ? 1 : 0);
    seeds.Add(withBytes(two, 640, 3));
    std::vector<uint8_t> four = shape(10, 14, 200, 1);
    for (int i = 0; i < 10; ++i) four.push_back(i >= 6 ? 1 : 0);
    seeds.Add(withBytes(four, 2000, 9));
    std::vector<uint8_t> audio = shape(5, 14, 120, 1);
    for (int i = 0; i < 5; ++i) audio.push_back(i == 4 ? 1 : 0);
    seeds.Add(withBytes(audio, 600, 1));
    // Hostile lists (each index stored plus 16): repeated, past n, a parity index
    // below k, negative.
    const std::vector<std::vector<int>> lists = {
        {0, 1, 1, 3}, {0, 20, 2, 3}, {0, 1, 2, 2}, {-5, 1, 2, 3}, {11, 11, 12, 13}};
    for (const std::vector<int>& list : lists) {
        std::vector<uint8_t> s = shape(4, 14, 32, 0);
        for (int i : list) s.push_back(static_cast<uint8_t>(i + 16));
        seeds.Add(withBytes(s, 256, 5));
    }
    return 0;
}
