#include "util/ErrorMessage.h"

CErrorMessage::~CErrorMessage() = default;

const wchar_t* CErrorMessage::m_szErrText[3] = {
    L"您没有足够的权限！",
    L"聊天字数受到限制，不能超过20字，如想畅想欲言，请升级为VIP！",
    L"这是最后一个错误啦！",
};
