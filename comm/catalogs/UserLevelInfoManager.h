// Level descriptions with their pictures and entrance animation, from
// "leveldesc.dat", keyed by (kind << 16) | level.
#pragma once

#include <cstdint>
#include <map>
#include <string>

struct tag_UserLevelDescInfo {
    int16_t kind;
    int16_t level;
    int32_t showFlag;  // non-zero: the user's entrance is announced in the chat
    int32_t descValue1;
    int32_t descValue2;
    int32_t flashId;  // entrance animation number, 0 = none
    std::wstring image2;
    std::wstring image1;
    std::wstring title;
};

// Kinds the program looks up.
constexpr int LEVEL_KIND_USER = 1;
constexpr int LEVEL_KIND_CASTLE = 4;
constexpr int LEVEL_CASTLE_LORD = 101;
constexpr int LEVEL_CASTLE_LADY = 100;

class CUserLevelInfoManager {
public:
    CUserLevelInfoManager();
    ~CUserLevelInfoManager();
    CUserLevelInfoManager(const CUserLevelInfoManager&) = delete;
    CUserLevelInfoManager& operator=(const CUserLevelInfoManager&) = delete;

    // Nine-field lines, UTF-16; -1 when the file cannot be opened, else 0.
    int LoadLevelConfigW(wchar_t* path);
    int LoadLevelConfigA(char* path);  // the same in the ANSI code page
    tag_UserLevelDescInfo* FindLevelDesc(int kind, int level);
    void ClearAll();

    static int Key(int kind, int level) {
        return static_cast<int>((static_cast<uint32_t>(kind) << 16) |
                                (static_cast<uint32_t>(level) & 0xFFFF));
    }

    std::map<int, tag_UserLevelDescInfo*> levels;

private:
    void ParseLine(const std::wstring& line);
};
