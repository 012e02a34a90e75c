// OLE and COM start-up, and the rich-edit libraries: nothing to do here.
#include <cwctype>
#include <string>

#include "win32/ole.h"
#include "win32/text.h"

HRESULT OleInitialize(LPVOID) {
    return S_OK;
}
void OleUninitialize() {}
HRESULT CoInitialize(LPVOID) {
    return S_OK;
}
HRESULT CoInitializeEx(LPVOID, DWORD) {
    return S_OK;
}
void CoUninitialize() {}

namespace {

int g_richEditModule;  // its address is the module handle

HMODULE richEditModule() {
    return reinterpret_cast<HMODULE>(&g_richEditModule);
}

bool isRichEdit(std::wstring name) {
    size_t cut = name.find_last_of(L"\\/");
    if (cut != std::wstring::npos) name.erase(0, cut + 1);
    for (auto& c : name) c = static_cast<wchar_t>(std::towlower(c));
    return name == L"riched20.dll" || name == L"msftedit.dll" || name == L"riched32.dll" ||
           name == L"riched20" || name == L"msftedit" || name == L"riched32";
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR name) {
    if (name && isRichEdit(name)) return richEditModule();
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

HMODULE LoadLibraryA(LPCSTR name) {
    if (!name) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return LoadLibraryW(winplat::AnsiToWide(name).c_str());
}

BOOL FreeLibrary(HMODULE module) {
    if (module == richEditModule()) return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}
