#include "handles.h"

#include <unordered_map>

namespace winplat {
namespace {

struct Table {
    std::mutex lock;
    std::unordered_map<HANDLE, std::shared_ptr<KernelObject>> objects;
};

Table& table() {
    static Table* t = new Table;  // lives until exit: handles may be closed from atexit code
    return *t;
}

}  // namespace

HANDLE RegisterHandle(std::shared_ptr<KernelObject> object) {
    HANDLE h = object.get();
    std::lock_guard<std::mutex> g(table().lock);
    table().objects[h] = std::move(object);
    return h;
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
    std::lock_guard<std::mutex> g(table().lock);
    auto it = table().objects.find(handle);
    return it == table().objects.end() ? nullptr : it->second;
}

bool UnregisterHandle(HANDLE handle) {
    std::shared_ptr<KernelObject> keep;
    {
        std::lock_guard<std::mutex> g(table().lock);
        auto it = table().objects.find(handle);
        if (it == table().objects.end()) return false;
        keep = std::move(it->second);
        table().objects.erase(it);
    }
    return true;  // `keep` is released outside the table lock
}

std::mutex& WaitLock() {
    static std::mutex* m = new std::mutex;
    return *m;
}

std::condition_variable& WaitCondition() {
    static std::condition_variable* c = new std::condition_variable;
    return *c;
}

}  // namespace winplat
