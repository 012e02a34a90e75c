#include "catalogs/FaceManager.h"

#include <string>

#include "catalogs/CatalogLineReader.h"
#include "util/FieldSplit.h"

CFaceManager::CFaceManager() = default;

CFaceManager::~CFaceManager() {
    ClearAll();
}

int CFaceManager::LoadBaseFaceConfig(char* path) {
    bool opened =
        catalog::ReadNarrowLines(path, catalog::kLineLimit, [this](const std::string& line) {
            std::vector<std::string> f = fields::Split(line, ',');
            if (f.size() < 2) return;
            const int id = fields::ToInt(f[0]);
            if (faceGroups.count(id)) return;
            auto* group = new tag_FaceGroupInfo();
            group->groupId = id;
            for (size_t i = 1; i < f.size(); ++i) group->faces.push_back(fields::ToInt(f[i]));
            faceGroups[id] = group;
        });
    return opened ? 0 : -1;
}

tag_FaceGroupInfo* CFaceManager::FindFaceGroupItem(int id) {
    auto it = faceGroups.find(id);
    return it == faceGroups.end() ? nullptr : it->second;
}

void CFaceManager::ClearAll() {
    for (auto& entry : faceGroups) delete entry.second;
    faceGroups.clear();
}
