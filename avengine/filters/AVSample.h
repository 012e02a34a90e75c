// A queued sample: the seven values with its own copy of the data.
#pragma once

#include <cstring>
#include <memory>

namespace RAVO {

struct AVSample {
    AVSample(int id_, int type_, unsigned ts_, const char* data_, int len_, int p1_, int p2_)
        : id(id_), type(type_), ts(ts_), len(len_ > 0 && data_ ? len_ : 0), p1(p1_), p2(p2_) {
        if (len > 0) {
            data.reset(new char[static_cast<size_t>(len)]);
            std::memcpy(data.get(), data_, static_cast<size_t>(len));
        }
    }
    int id;
    int type;
    unsigned ts;
    std::unique_ptr<char[]> data;
    int len;
    int p1;
    int p2;
};

}  // namespace RAVO
