#include "catalogs/GiftManager.h"

#include "catalogs/CatalogLineReader.h"
#include "util/FieldSplit.h"

CGiftManager::CGiftManager() = default;

CGiftManager::~CGiftManager() {
    ClearAll();
}

int CGiftManager::LoadGiftConfigW(wchar_t* path) {
    return catalog::ReadWideLines(path, catalog::kLineLimit,
                                  [this](const std::wstring& line) { ParseLine(line); })
               ? 0
               : -1;
}

int CGiftManager::LoadGiftConfigA(char* path) {
    return catalog::ReadNarrowLinesAsWide(path, catalog::kLineLimit,
                                          [this](const std::wstring& line) { ParseLine(line); })
               ? 0
               : -1;
}

void CGiftManager::ParseLine(const std::wstring& line) {
    std::vector<std::wstring> kv = fields::Split(line, L'=');
    if (kv.size() != 2) return;
    if (kv[0] == L"gift")
        AddGift(kv[1]);
    else if (kv[0] == L"groups")
        AddGroups(kv[1]);
    else if (kv[0] == L"group")
        FillGroup(kv[1]);
}

void CGiftManager::AddGift(const std::wstring& value) {
    std::vector<std::wstring> f = fields::Split(value, L';');
    if (f.size() < 11) return;
    const int id = fields::ToInt(f[0]);
    if (gifts.count(id)) return;  // the first definition wins
    auto* gift = new tag_GiftItemInfo();
    gift->giftId = id;
    gift->giftValue1 = fields::ToInt(f[1]);
    gift->giftName = f[2];
    gift->price = fields::ToInt(f[3]);
    gift->flashId = fields::ToInt(f[4]);
    gift->giftValue5 = fields::ToInt(f[5]);
    gift->giftValue6 = fields::ToInt(f[6]);
    gift->giftValue7 = fields::ToInt(f[7]);
    gift->giftValue8 = fields::ToInt(f[8]);
    gift->giftText1 = f[9];
    gift->giftText2 = f[10];
    gifts[id] = gift;
}

void CGiftManager::AddGroups(const std::wstring& value) {
    for (const std::wstring& piece : fields::Split(value, L';')) {
        std::vector<std::wstring> parts = fields::Split(piece, L',');
        if (parts.size() != 2) continue;
        const int id = fields::ToInt(parts[1]);
        if (giftGroups.count(id)) continue;
        auto* group = new tag_GiftGroupInfo();
        group->groupId = id;
        group->groupName = parts[0];
        giftGroups[id] = group;
    }
}

void CGiftManager::FillGroup(const std::wstring& value) {
    std::vector<std::wstring> parts = fields::Split(value, L':');
    if (parts.size() != 2) return;
    const int number = fields::ToInt(parts[0]);
    std::vector<std::wstring> ids = fields::Split(parts[1], L';');
    std::vector<int>* list = nullptr;
    switch (number) {
        case GIFT_LIST_HOT:
            // A hot line names at most ten gifts; further ids of the line are dropped.
            for (size_t i = 0; i < ids.size() && i < GIFT_HOT_LIST_MAX; ++i)
                hotGiftIds.push_back(fields::ToInt(ids[i]));
            return;
        case GIFT_LIST_SEND:
            list = &sendGiftIds;
            break;
        case GIFT_LIST_CHARGE_MIC:
            list = &chargeMicGiftIds;
            break;
        case GIFT_LIST_GLOBAL:
            list = &globalGiftIds;
            break;
        default:
            break;
    }
    if (list) {
        for (const std::wstring& id : ids) list->push_back(fields::ToInt(id));
        return;
    }
    tag_GiftGroupInfo* group = FindGiftGroupItem(number);
    if (!group) return;
    for (const std::wstring& id : ids)
        if (tag_GiftItemInfo* gift = FindGiftItem(fields::ToInt(id))) group->items.push_back(gift);
}

tag_GiftItemInfo* CGiftManager::FindGiftItem(int id) {
    auto it = gifts.find(id);
    return it == gifts.end() ? nullptr : it->second;
}

tag_GiftGroupInfo* CGiftManager::FindGiftGroupItem(int id) {
    auto it = giftGroups.find(id);
    return it == giftGroups.end() ? nullptr : it->second;
}

void CGiftManager::ClearAll() {
    hotGiftIds.clear();
    sendGiftIds.clear();
    chargeMicGiftIds.clear();
    globalGiftIds.clear();
    for (auto& entry : gifts) delete entry.second;
    gifts.clear();
    for (auto& entry : giftGroups) {
        entry.second->items.clear();
        delete entry.second;
    }
    giftGroups.clear();
}
