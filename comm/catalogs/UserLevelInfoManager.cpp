#include "catalogs/UserLevelInfoManager.h"

#include "catalogs/CatalogLineReader.h"
#include "util/FieldSplit.h"

CUserLevelInfoManager::CUserLevelInfoManager() = default;

CUserLevelInfoManager::~CUserLevelInfoManager() {
    ClearAll();
}

int CUserLevelInfoManager::LoadLevelConfigW(wchar_t* path) {
    return catalog::ReadWideLines(path, catalog::kLineLimit,
                                  [this](const std::wstring& line) { ParseLine(line); })
               ? 0
               : -1;
}

int CUserLevelInfoManager::LoadLevelConfigA(char* path) {
    return catalog::ReadNarrowLinesAsWide(path, catalog::kLineLimit,
                                          [this](const std::wstring& line) { ParseLine(line); })
               ? 0
               : -1;
}

void CUserLevelInfoManager::ParseLine(const std::wstring& line) {
    // kind, level, show flag, two numbers, second image, first image, animation, title
    std::vector<std::wstring> f = fields::Split(line, L',');
    if (f.size() != 9) return;
    auto* desc = new tag_UserLevelDescInfo();
    desc->kind = static_cast<int16_t>(fields::ToInt(f[0]));
    desc->level = static_cast<int16_t>(fields::ToInt(f[1]));
    const int key = Key(desc->kind, desc->level);
    if (levels.count(key)) {
        delete desc;
        return;
    }
    desc->showFlag = fields::ToInt(f[2]);
    desc->descValue1 = fields::ToInt(f[3]);
    desc->descValue2 = fields::ToInt(f[4]);
    desc->image2 = f[5];
    desc->image1 = f[6];
    desc->flashId = fields::ToInt(f[7]);
    desc->title = f[8];
    levels[key] = desc;
}

tag_UserLevelDescInfo* CUserLevelInfoManager::FindLevelDesc(int kind, int level) {
    auto it = levels.find(Key(kind, level));
    return it == levels.end() ? nullptr : it->second;
}

void CUserLevelInfoManager::ClearAll() {
    for (auto& entry : levels) delete entry.second;
    levels.clear();
}
