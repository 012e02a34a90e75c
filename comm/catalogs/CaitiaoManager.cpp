#include "catalogs/CaitiaoManager.h"

#include "catalogs/CatalogLineReader.h"
#include "win32/crt.h"
#include "win32/files.h"

namespace {

// The program's folder (the module file name up to its last backslash) and the
// skin's gift folder below it, in Windows form.
std::wstring StripFolder() {
    wchar_t module[260] = {0};
    GetModuleFileNameW(nullptr, module, 260);
    std::wstring folder(module);
    size_t cut = folder.rfind(L'\\');
    folder.erase(cut == std::wstring::npos ? 0 : cut);
    return folder + L"\\skin\\MVChat\\gift\\";
}

}  // namespace

CCaitiaoManager::CCaitiaoManager() = default;

CCaitiaoManager::~CCaitiaoManager() {
    ClearAll();
}

int CCaitiaoManager::LoadConfig(const char* path) {
    const std::wstring folder = StripFolder();
    int index = 0;
    bool opened = catalog::ReadNarrowLinesAsWide(
        path, catalog::kLongLineLimit, [&](const std::wstring& line) {
            if (line[0] != L'c') return;
            const int n = index++;
            if (strips.count(n)) return;
            auto* strip = new tag_CaitiaoItemInfo();
            strip->index = n;
            strip->html = L"<IMG src=\"" + folder + line + L"\">";
            strips[n] = strip;
        });
    return opened ? 0 : -1;
}

tag_CaitiaoItemInfo* CCaitiaoManager::FindCaitiaoItem(int index) {
    auto it = strips.find(index);
    return it == strips.end() ? nullptr : it->second;
}

void CCaitiaoManager::ClearAll() {
    for (auto& entry : strips) delete entry.second;
    strips.clear();
}
