#include "catalogs/SealManager.h"

#include "catalogs/CatalogLineReader.h"
#include "util/FieldSplit.h"

CSealManager::CSealManager() = default;

CSealManager::~CSealManager() {
    ClearAll();
}

int CSealManager::LoadSealConfigW(wchar_t* path) {
    return catalog::ReadWideLines(path, catalog::kLineLimit,
                                  [this](const std::wstring& line) { ParseLine(line); })
               ? 0
               : -1;
}

int CSealManager::LoadSealConfigA(char* path) {
    return catalog::ReadNarrowLinesAsWide(path, catalog::kLineLimit,
                                          [this](const std::wstring& line) { ParseLine(line); })
               ? 0
               : -1;
}

void CSealManager::ParseLine(const std::wstring& line) {
    std::vector<std::wstring> f = fields::Split(line, L',');
    if (f.size() != 4) return;
    const int id = fields::ToInt(f[0]);
    if (seals.count(id)) return;
    seals[id] = new tag_SealItemInfo{id, f[1], fields::ToInt(f[2]), fields::ToInt(f[3])};
}

tag_SealItemInfo* CSealManager::FindSealItem(int id) {
    auto it = seals.find(id);
    return it == seals.end() ? nullptr : it->second;
}

void CSealManager::ClearAll() {
    for (auto& entry : seals) delete entry.second;
    seals.clear();
}
