// The fixed table of colour skins and the current one, read by every window for its
// frame image ("winBG") and colours.
#pragma once

#include <cstdint>
#include <string>

struct tagSkinInfo {
    int id;
    uint32_t crDark;    // ARGB: the dark theme colour
    uint32_t crLight1;  // ARGB: light background colour (chat views)
    uint32_t crLight2;  // ARGB: light background colour (panels)
    const wchar_t* szBkImage;  // image attribute for "winBG"
};

constexpr int kSkinCount = 28;
// The skin every run starts with, until the user's choice is read after logon.
constexpr int kDefaultSkinId = 15;

extern const tagSkinInfo g_SkinTable[kSkinCount];
// The current entry; never null once the program entry has run (and at start it is
// already the default entry, so windows made by tests find a frame).
extern const tagSkinInfo* g_pCurSkin;

// The entry with that id becomes current; an id not in the table changes nothing.
void SelectSkin(int id);
// The entry with that id, or null.
const tagSkinInfo* FindSkin(int id);
// The image file of an entry (the "file" part of its attribute), relative to the
// resource folder.
std::wstring SkinFrameFile(const tagSkinInfo& skin);
