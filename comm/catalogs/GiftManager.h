// The catalog of paid gifts: every gift with its price and pictures, the named gift
// groups the picker shows as tabs, and four special id lists.
#pragma once

#include <map>
#include <string>
#include <vector>

struct tag_GiftItemInfo {
    int giftId;
    int giftValue1;
    std::wstring giftName;
    int price;    // in the first currency
    int flashId;  // > 0: the animation played for the gift; else the fireworks
    int giftValue5;
    int giftValue6;
    int giftValue7;
    int giftValue8;
    std::wstring giftText1;
    std::wstring giftText2;
};

struct tag_GiftGroupInfo {
    int groupId;
    std::wstring groupName;
    std::vector<tag_GiftItemInfo*> items;  // borrowed from the gift map, file order
};

// Numbers of the "group" lines that fill the special lists.
constexpr int GIFT_LIST_HOT = 100;
constexpr int GIFT_LIST_SEND = 101;
constexpr int GIFT_LIST_CHARGE_MIC = 102;
constexpr int GIFT_LIST_GLOBAL = 103;
constexpr size_t GIFT_HOT_LIST_MAX = 10;

class CGiftManager {
public:
    CGiftManager();
    virtual ~CGiftManager();

    // gift.conf in UTF-16; adds to what is loaded. -1 when it cannot be opened, else 0.
    int LoadGiftConfigW(wchar_t* path);
    // The same format in the ANSI code page.
    int LoadGiftConfigA(char* path);

    tag_GiftItemInfo* FindGiftItem(int id);
    tag_GiftGroupInfo* FindGiftGroupItem(int id);
    void GetHotGiftIds(std::vector<int>& out) { out = hotGiftIds; }
    void GetSendGiftIds(std::vector<int>& out) { out = sendGiftIds; }
    void GetChargeMicGiftIds(std::vector<int>& out) { out = chargeMicGiftIds; }
    void GetGlobalGiftIds(std::vector<int>& out) { out = globalGiftIds; }
    void ClearAll();

    std::map<int, tag_GiftItemInfo*> gifts;
    std::map<int, tag_GiftGroupInfo*> giftGroups;
    std::vector<int> hotGiftIds;
    std::vector<int> sendGiftIds;
    std::vector<int> chargeMicGiftIds;
    std::vector<int> globalGiftIds;

private:
    void ParseLine(const std::wstring& line);
    void AddGift(const std::wstring& value);
    void AddGroups(const std::wstring& value);
    void FillGroup(const std::wstring& value);
};
