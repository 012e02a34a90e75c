#include "model/UserMVManager.h"

#include <cstdio>
#include <string>
#include <vector>

#include "model/UserObj.h"
#include "util/FieldSplit.h"
#include "win32/files.h"
#include "win32/text.h"

namespace {

const char kRuleHeader[] = "[privilege]";

bool ReadFileBytes(const char* path, std::string& out) {
    FILE* f = winplat::OpenFileMapped(path, "rb");
    if (!f) return false;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
    std::fclose(f);
    return true;
}

}  // namespace

CUserMVManager::CUserMVManager() : active(&maps[0]), temporary(&maps[1]), delegate(nullptr) {}

CUserMVManager::~CUserMVManager() {
    ClearData();
}

int CUserMVManager::GetUserFinalLevel(CUserObj* user) {
    if (delegate) {
        int handled = 0;
        int level = delegate->GetUserFinalLevel(user, &handled);
        if (handled) return level;
    }
    if (!user) return 0;
    return ((user->levels[0] & 0xFF) << 16) | ((user->levels[1] & 0xFF) << 8) |
           (user->GetRoomMgrLevel() & 0xFF);
}

bool CUserMVManager::CheckPrivilege(short id, CUserObj* user) {
    if (!user) return false;
    bool result = false;
    if (delegate) {
        int handled = 0;
        result = delegate->CheckPrivilege(id, user, &handled);
        if (handled) return result;
    }
    auto it = active->find(id);
    if (it == active->end()) return result;
    auto* rule = dynamic_cast<CNonOOPrivilege*>(it->second);
    if (it->second->kind != PRIVILEGE_KIND_ONE_PARTY || !rule) return result;
    return rule->Check(GetUserFinalLevel(user));
}

bool CUserMVManager::CheckPrivilege(short id, CUserObj* actor, CUserObj* target) {
    if (!actor || !target) return false;
    bool result = false;
    if (delegate) {
        int handled = 0;
        result = delegate->CheckPrivilege(id, actor, target, &handled);
        if (handled) return result;
    }
    auto it = active->find(id);
    if (it == active->end()) return result;
    auto* rule = dynamic_cast<COOPrivilege*>(it->second);
    if (it->second->kind != PRIVILEGE_KIND_TWO_PARTY || !rule) return result;
    return rule->Check(GetUserFinalLevel(actor), GetUserFinalLevel(target));
}

int CUserMVManager::GetUserSortId(CUserObj* user) {
    if (!delegate) return 0;
    int handled = 0;
    int sortId = delegate->GetUserSortId(user, &handled);
    return handled ? sortId : 0;
}

CPrivilegeBase* CUserMVManager::FindPrivilege(int table, short id) {
    PrivilegeMap* map = Table(table);
    auto it = map->find(id);
    return it == map->end() ? nullptr : it->second;
}

bool CUserMVManager::IsExistPrivilegeId(short id) {
    return active->count(id) != 0;
}

bool CUserMVManager::AddPrivilege(int table, int id, int kind, int a, int b) {
    PrivilegeMap* map = Table(table);
    const short key = static_cast<short>(id);
    auto it = map->find(key);
    if (it != map->end()) {
        it->second->AddLevel(a, b);
        return true;
    }
    CPrivilegeBase* rule;
    if (kind == PRIVILEGE_KIND_ONE_PARTY)
        rule = new CNonOOPrivilege();
    else
        rule = new COOPrivilege();
    rule->id = key;
    rule->AddLevel(a, b);
    (*map)[key] = rule;
    return true;
}

bool CUserMVManager::AddPrivilege(CPrivilegeBase* rule) {
    if (!rule || active->count(rule->id)) return false;
    (*active)[rule->id] = rule;
    return true;
}

void CUserMVManager::Clear(PrivilegeMap* map) {
    for (auto& entry : *map) {
        entry.second->ClearData();
        delete entry.second;
    }
    map->clear();
}

void CUserMVManager::ClearData() {
    Clear(&maps[0]);
    Clear(&maps[1]);
}

void CUserMVManager::ClearTempData() {
    Clear(temporary);
}

void CUserMVManager::SwapData() {
    PrivilegeMap* previous = active;
    active = temporary;
    temporary = previous;
    ClearTempData();
}

int CUserMVManager::LoadPrivilegeConfig(char* path, int codePage) {
    ClearData();
    std::string bytes;
    if (!path || !ReadFileBytes(path, bytes) || bytes.empty()) return -1;

    std::vector<std::string> lines;
    for (std::string& line : fields::Split(bytes, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (fields::StartsWith(line, "//")) continue;
        lines.push_back(std::move(line));
    }

    auto opensRule = [&](size_t i) { return fields::StartsWith(lines[i], kRuleHeader); };
    size_t i = 0;
    while (i < lines.size()) {
        if (!opensRule(i++)) continue;
        // A header that is itself a rule opener is a broken rule; the opener stays.
        if (i >= lines.size() || opensRule(i)) continue;
        std::vector<std::string> header = fields::Split(lines[i++], ';');
        if (header.size() != 3) continue;
        const int type = fields::ToInt(header[0]);
        const short id = static_cast<short>(fields::ToInt(header[1]));
        if (active->count(id)) continue;

        if (type == 0) {
            auto* rule = new CNonOOPrivilege();
            rule->id = id;
            rule->name = winplat::AnsiToWide(header[2], static_cast<UINT>(codePage));
            (*active)[id] = rule;
            if (i < lines.size() && !opensRule(i)) {
                for (const std::string& level : fields::Split(lines[i++], ';'))
                    rule->AddLevel(fields::ToInt(level), 0);
            }
        } else if (type == 1) {
            auto* rule = new COOPrivilege();
            rule->id = id;
            rule->name = winplat::AnsiToWide(header[2], static_cast<UINT>(codePage));
            (*active)[id] = rule;
            for (; i < lines.size() && !opensRule(i); ++i) {
                std::vector<std::string> parts = fields::Split(lines[i], ':');
                if (parts.size() < 2) continue;
                const int actor = fields::ToInt(parts[0]);
                for (const std::string& target : fields::Split(parts[1], ';'))
                    rule->AddLevel(actor, fields::ToInt(target));
            }
        }
        // Other types: their lines are passed over by the opener search.
    }
    return 0;
}
