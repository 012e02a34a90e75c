// Colour strips, the decorated lines of the chat, from "caotiao.txt": every line that
// starts with "c" names a strip picture in the skin's gift folder.
#pragma once

#include <map>
#include <string>

struct tag_CaitiaoItemInfo {
    int index;          // 0, 1, 2 ... in file order
    std::wstring html;  // the strip's picture as an IMG tag
};

class CCaitiaoManager {
public:
    CCaitiaoManager();
    virtual ~CCaitiaoManager();

    // -1 when the file cannot be opened, else 0.
    int LoadConfig(const char* path);
    tag_CaitiaoItemInfo* FindCaitiaoItem(int index);
    int GetCaitiaoCount() { return static_cast<int>(strips.size()); }
    void ClearAll();

    std::map<int, tag_CaitiaoItemInfo*> strips;
};
