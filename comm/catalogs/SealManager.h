// Seals a member can stamp on another, from "skin/Seal/seal.conf".
#pragma once

#include <map>
#include <string>

struct tag_SealItemInfo {
    int sealId;
    std::wstring name;
    int price;  // in the first currency
    int time;
};

class CSealManager {
public:
    CSealManager();
    ~CSealManager();
    CSealManager(const CSealManager&) = delete;
    CSealManager& operator=(const CSealManager&) = delete;

    // "id,name,price,time" lines, UTF-16; -1 when the file cannot be opened, else 0.
    int LoadSealConfigW(wchar_t* path);
    int LoadSealConfigA(char* path);  // the same in the ANSI code page
    tag_SealItemInfo* FindSealItem(int id);
    void ClearAll();

    std::map<int, tag_SealItemInfo*> seals;

private:
    void ParseLine(const std::wstring& line);
};
