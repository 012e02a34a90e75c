// The settings dialog's Apply: sound devices, profile, password and shields.
#include <cstring>
#include <string>

#include "controls/KernelData.h"
#include "dialogs/DialogMessages.h"
#include "dialogs/UserSettingHost.h"
#include "dialogs/WndMsgBox.h"
#include "dialogs/WndUserSetting.h"
#include "dialogs/WndUserSettingShields.h"
#include "kernel/CmdRecords.h"
#include "model/UserObj.h"
#include "services/MyWaveInCtrl.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {
constexpr int kPageProfile = 0;
constexpr int kPageDevices = 2;
constexpr int kPagePassword = 4;
constexpr int kPageShields = 5;
// The alias and password fields hold 16 bytes and a terminator.
constexpr size_t kTextBytes = 16;

std::wstring TextOf(CEditUI* edit) {
    return edit ? std::wstring(edit->GetText().GetData()) : std::wstring();
}

// The tag of the selected item as the mixer's device id: the 32-bit value the tag
// was made from (the default device is the mixer's -1).
bool SelectedDevice(CComboUI* combo, uint32_t& id) {
    if (!combo || combo->GetCount() == 0) return false;
    int sel = combo->GetCurSel();
    if (sel < 0 || sel >= combo->GetCount()) return false;
    id = static_cast<uint32_t>(combo->GetItemAt(sel)->GetTag());
    return true;
}

void FillDeviceCombo(CComboUI* combo, const wchar_t* defaultName, int defaultId,
                     wchar_t (*names)[CMyWaveInCtrl::kNameChars], int count, uint32_t stored) {
    if (!combo) return;
    auto add = [combo](const wchar_t* text, uint32_t tag) {
        auto* item = new CListLabelElementUI;
        item->SetText(text);
        item->SetTag(tag);
        combo->Add(item);
    };
    add(defaultName, static_cast<uint32_t>(defaultId));
    for (int i = 0; i < count && i < CMyWaveInCtrl::kMaxDevices; ++i)
        add(names[i], static_cast<uint32_t>(i));
    // A stored device the list no longer has falls back to the default.
    int index = 0;
    if (stored != static_cast<uint32_t>(defaultId) && stored < static_cast<uint32_t>(count))
        index = static_cast<int>(stored) + 1;
    combo->SelectItem(index);
}
}  // namespace

void CWndUserSetting::Refuse(const wchar_t* reason) {
    CWndMsgBox box;
    box.SetText(reason);
    box.DoModal(m_hWnd);
}

void CWndUserSetting::FillAudioDevices() {
    CCommKernelData* data = KernelData();
    CMyWaveInCtrl* mixer = data ? data->m_pWaveInCtrl : nullptr;
    if (mixer) {
        mixer->getWaveInDevList();
        mixer->getWaveOutDevList();
    }
    if (m_pMicCombo) m_pMicCombo->RemoveAll();
    if (m_pSpeakCombo) m_pSpeakCombo->RemoveAll();
    ShowPage(kPageDevices);
    if (!mixer) return;
    const AvDeviceSettings stored = GetUserSettingHost()->GetAvDevices();
    FillDeviceCombo(m_pMicCombo, L"默认捕获设备", mixer->getWaveInDefaultDevId(),
                    mixer->waveInNames, mixer->waveInCount, stored.waveInDevice);
    FillDeviceCombo(m_pSpeakCombo, L"默认回放设备", mixer->getWaveOutDefaultDevId(),
                    mixer->waveOutNames, mixer->waveOutCount, stored.waveOutDevice);
}

void CWndUserSetting::ApplyAudioDevices() {
    CCommKernelData* data = KernelData();
    CMyWaveInCtrl* mixer = data ? data->m_pWaveInCtrl : nullptr;
    uint32_t in = 0, out = 0;
    if (!mixer || !SelectedDevice(m_pMicCombo, in) || !SelectedDevice(m_pSpeakCombo, out)) return;
    if (in == mixer->getCurWaveInDevId() && out == mixer->getCurWaveOutDevId()) return;
    mixer->setWaveInDevId(in);
    mixer->setWaveOutDevId(out);
    IUserSettingHost* host = GetUserSettingHost();
    AvDeviceSettings devices = host->GetAvDevices();
    devices.waveInDevice = in;
    devices.waveOutDevice = out;
    host->SetAvDevices(devices);
    host->SaveAVConfig();
    if (HWND lobby = host->GetLobbyHwnd()) ::PostMessageW(lobby, UM_AUDIO_DEVICE_CHANGED, 0, 0);
}

bool CWndUserSetting::ApplyProfile() {
    CCommKernelData* data = KernelData();
    if (!data) return true;
    std::wstring alias = TextOf(m_pAlias);
    if (alias.empty()) {
        Refuse(L"昵称长度太短!");
        return false;
    }
    std::string ansi;
    // Nine characters may still overflow the field, and a cut would split a character.
    if (alias.size() >= 10 || !winplat::WideToAnsiExact(alias, ansi) || ansi.size() > kTextBytes) {
        Refuse(L"昵称长度太长!");
        return false;
    }
    CUserObj* me = data->GetLocalUser();
    me->alias = ansi;
    tag_CMDSetUserProfileReq record{};
    record.userId = me->userId;
    record.faceId = me->faceId;
    record.sex = me->sex;
    std::memcpy(record.alias, ansi.data(), ansi.size());
    GetUserSettingHost()->SendSetUserProfileReq(&record);
    return true;
}

bool CWndUserSetting::ApplyPassword() {
    CCommKernelData* data = KernelData();
    if (!data) return true;
    // Compared as typed: two different texts must never meet as the same "?"s.
    std::wstring oldText = TextOf(m_pOldPwd);
    std::wstring newText = TextOf(m_pNewPwd);
    std::wstring confirm = TextOf(m_pNewPwd2);
    CUserObj* me = data->GetLocalUser();
    std::string oldAnsi, newAnsi;
    const wchar_t* refusal = nullptr;
    if (newText != confirm)
        refusal = L"两次输入的新密码不一致!";
    else if (!winplat::WideToAnsiExact(oldText, oldAnsi) ||
             !winplat::WideToAnsiExact(newText, newAnsi))
        refusal = L"含有不支持的字符!";
    else if (newAnsi.empty() || newAnsi.size() > kTextBytes)
        refusal = L"新密码长度应为1到16个字节!";
    else if (oldText != winplat::AnsiToWide(me->password) || oldAnsi.size() > kTextBytes)
        refusal = L"旧密码错误!";
    else if (newText.find(L'\'') != std::wstring::npos)
        refusal = L"新密码不能包含单引号!";
    if (refusal) {
        Refuse(refusal);
        return false;
    }
    tag_CMDSetUserPwdReq record{};
    record.userId = me->userId;
    record.kind = 1;
    std::memcpy(record.oldPassword, oldAnsi.data(), oldAnsi.size());
    std::memcpy(record.newPassword, newAnsi.data(), newAnsi.size());
    GetUserSettingHost()->SendSetUserPwdReq(&record);
    // Typed passwords do not stay on screen after they went out.
    for (CEditUI* edit : {m_pOldPwd, m_pNewPwd, m_pNewPwd2})
        if (edit) edit->SetText(L"");
    std::memset(&record, 0, sizeof(record));
    return true;
}

void CWndUserSetting::ApplyShields() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    for (const ShieldRow& row : kShieldRows) {
        CControlUI* c = Find(row.control);
        auto* box = c ? static_cast<CCheckBoxUI*>(c->GetInterface(L"CheckBox")) : nullptr;
        auto shown = m_shieldShown.find(box);
        if (!box || shown == m_shieldShown.end()) continue;
        bool now = box->GetCheck();
        if (now == shown->second) continue;
        ShieldSetting(row, *data) = now;
        shown->second = now;
    }
}

bool CWndUserSetting::Apply() {
    int page = GetPage();
    if (page == kPageDevices) ApplyAudioDevices();
    CCommKernelData* data = KernelData();
    if (!data || data->GetLocalUser()->levels[0] == 0) return true;
    if (page == kPageProfile) return ApplyProfile();
    if (page == kPagePassword) return ApplyPassword();
    if (page == kPageShields) ApplyShields();
    return true;
}
