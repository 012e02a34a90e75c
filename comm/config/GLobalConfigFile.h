// The global configuration ("globalconf.ini" in the program folder): server lists,
// a few settings and the web addresses the windows open, read once at start-up from
// an AES-encrypted file into fixed fields the windows read directly.
#pragma once

// Key and initial chain block of the file's cipher (16 ASCII characters).
#define GLOBALCONF_CIPHER_KEY "hvb2k9x7mq4tz1wr"

class CGLobalConfigFile {
public:
    CGLobalConfigFile();
    CGLobalConfigFile(const CGLobalConfigFile&) = default;
    // Copies every field, the code page included.
    CGLobalConfigFile& operator=(const CGLobalConfigFile&) = default;

    // Every text empty, the flags and the price limit 0.
    void Reset();
    // Code page of the file's text and of the path given to LoadFile.
    void SetCodePage(unsigned codePage);
    // 1 on success; 0 when the path is null, the file is missing, its length word does
    // not match its size, or it does not decrypt (the fields are then left as they were).
    int LoadFile(wchar_t* path);
    // The configuration is deployment data: nothing is written.
    int SaveFile(wchar_t* path);

    char logonsvr[256];
    char lobbysvr[256];
    wchar_t www_page[256];
    wchar_t index_page[256];
    wchar_t daili_page[256];
    wchar_t user_page[256];
    wchar_t pay_page[256];
    wchar_t register0_page[256];
    wchar_t register_page[256];
    wchar_t getpwd_page[256];
    wchar_t getbox_page[256];
    wchar_t top10_page[256];
    wchar_t roomlist_page[256];
    wchar_t qq_service[256];
    wchar_t help_icon_page[256];
    wchar_t help_level_page[256];
    wchar_t userinfo_page[265];
    wchar_t my_page[265];
    wchar_t favorite_page[256];
    wchar_t lastgo_page[256];
    wchar_t login_banner[256];
    wchar_t agent_url[256];
    wchar_t sysnotify_url[256];
    wchar_t ad_url1[256];
    wchar_t ad_url2[256];
    wchar_t flash_url[256];
    wchar_t chatcss_url[256];
    wchar_t welltip_url[256];
    wchar_t userreg_url[256];
    wchar_t usercenter_url[256];
    wchar_t agentcenter_url[256];
    wchar_t mangercenter_url[256];
    wchar_t vcbmanager_url[256];
    wchar_t myacc_url[256];
    wchar_t dating_url[256];
    wchar_t roomlist_url[256];
    wchar_t iconhelp_url[256];
    wchar_t find_url[256];
    wchar_t emotion_url0[256];
    wchar_t emotion_url1[256];
    wchar_t emotion_url2[256];
    wchar_t ver_url1[256];
    wchar_t ver_url2[256];
    wchar_t soft_url[256];
    wchar_t company_url[256];
    wchar_t getpaid_url[256];
    wchar_t userpay_url[256];
    wchar_t userhelp_url[256];
    int showxiaopaodao;
    int shineleveimg;
    char softname[32];
    wchar_t softnameW[32];
    int codePage;
    int giftthankpricelimit;
};
