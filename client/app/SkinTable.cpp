#include "app/SkinTable.h"

#include <string>

#define SKIN(id, dark, light1, light2, file) \
    { id, dark, light1, light2, L"file='" L##file L"' corner='1038,298,1,1'" }

const tagSkinInfo g_SkinTable[kSkinCount] = {
    SKIN(1, 0xFFC92212, 0xFFF3F4FC, 0xFFCFD3F4, "frame/custom/17.png"),
    SKIN(2, 0xFF2F132F, 0xFFF4F2F4, 0xFFD5CED4, "frame/custom/5.png"),
    SKIN(3, 0xFF0C7FC9, 0xFFFDFAF3, 0xFFFCF0DB, "frame/custom/11.png"),
    SKIN(4, 0xFF2A142A, 0xFFF4F3F4, 0xFFD4CFD4, "frame/custom/20.png"),
    SKIN(5, 0xFF291229, 0xFFF4F3F4, 0xFFD4CFD4, "frame/custom/16.png"),
    SKIN(6, 0xFF1D7504, 0xFFF2F8F3, 0xFFCCE3D1, "frame/custom/15.png"),
    SKIN(7, 0xFF1449C3, 0xFFFCF5F3, 0xFFF3DAD0, "frame/custom/13.png"),
    SKIN(8, 0xFFBF8B6D, 0xFFF7F9FB, 0xFFE1E7F2, "frame/custom/9.png"),
    SKIN(9, 0xFF41A79F, 0xFFFAFAF5, 0xFFEBEDD9, "frame/custom/21.png"),
    SKIN(10, 0xFFE12035, 0xFFF4F3FD, 0xFFD6D2F9, "frame/custom/12.png"),
    SKIN(11, 0xFF9C0F5D, 0xFFF6F3FA, 0xFFDECFEB, "frame/custom/10.png"),
    SKIN(12, 0xFF27471E, 0xFFF3F5F4, 0xFFD2DAD3, "frame/custom/2.png"),
    SKIN(13, 0xFF910CB1, 0xFFFBF2F9, 0xFFEFCEE9, "frame/default/爱情紫.png"),
    SKIN(14, 0xFFF33A7E, 0xFFF8F5FE, 0xFFE5D7FC, "frame/default/粉红豹.png"),
    SKIN(15, 0xFF027ECF, 0xFFFCF8F2, 0xFFF5E5CC, "frame/default/海天蓝.png"),
    SKIN(16, 0xFF4A6B82, 0xFFF8F7F5, 0xFFE6E1DA, "frame/default/灰蓝.png"),
    SKIN(17, 0xFFE8B958, 0xFFF6FBFD, 0xFFDDF1FA, "frame/default/金.png"),
    SKIN(18, 0xFFEA8603, 0xFFF2F8FD, 0xFFCCE6FA, "frame/default/橘色.png"),
    SKIN(19, 0xFFE41D13, 0xFFF3F3FD, 0xFFCFD1F9, "frame/default/玫瑰红.png"),
    SKIN(20, 0xFF29B116, 0xFFF3FBF4, 0xFFD0EFD4, "frame/default/夏绿.png"),
    SKIN(21, 0xFF784B8A, 0xFFF7F4F8, 0xFFE3D4DF, "frame/custom/8.png"),
    SKIN(22, 0xFFCA4947, 0xFFFBF4F4, 0xFFD3D4F2, "frame/custom/4.png"),
    SKIN(23, 0xFF317BD3, 0xFFF2F7FC, 0xFFE0E0CE, "frame/custom/6.png"),
    SKIN(24, 0xFFE0D5AF, 0xFFFDFCFA, 0xFFECF5F7, "frame/custom/3.png"),
    SKIN(25, 0xFFD99E92, 0xFFFCF9F8, 0xFFE5E8F6, "frame/custom/24.png"),
    SKIN(26, 0xFF688B9B, 0xFFF6F8F9, 0xFFE7E4DB, "frame/custom/22.png"),
    SKIN(27, 0xFF64618A, 0xFFF5F5F8, 0xFFE3DADA, "frame/custom/7.png"),
    SKIN(28, 0xFF718D29, 0xFFF6F8F2, 0xFFCCE4DD, "frame/custom/1.png"),
};

#undef SKIN

// Entry 15 is the table's fifteenth row.
const tagSkinInfo* g_pCurSkin = &g_SkinTable[kDefaultSkinId - 1];

const tagSkinInfo* FindSkin(int id) {
    for (const tagSkinInfo& skin : g_SkinTable)
        if (skin.id == id) return &skin;
    return nullptr;
}

void SelectSkin(int id) {
    if (const tagSkinInfo* skin = FindSkin(id)) g_pCurSkin = skin;
}

std::wstring SkinFrameFile(const tagSkinInfo& skin) {
    const std::wstring attr = skin.szBkImage;
    const std::wstring open = L"file='";
    const size_t begin = attr.find(open);
    if (begin == std::wstring::npos) return {};
    const size_t end = attr.find(L'\'', begin + open.size());
    if (end == std::wstring::npos) return {};
    return attr.substr(begin + open.size(), end - begin - open.size());
}
