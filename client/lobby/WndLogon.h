// The logon window: checks the network and the update service in the background,
// offers the saved accounts, logs a member or a guest on over the configured logon
// servers, sets the user up from the logon answer and closes with 1 once the room
// groups have arrived (2 when closed or when the updater was started).
#pragma once

#include <memory>
#include <string>

#include "controls/SkinWnd.h"

class CLogonCheck;
class CMultiImageUI;

// Timer of a logon attempt.
constexpr UINT_PTR kLogonTimeoutTimer = 301;
constexpr UINT kLogonTimeoutMs = 30000;
// Attempt count that ends the retries.
constexpr int kLogonMaxAttempts = 10;

class CWndLogon : public CSkinWnd, public DuiLib::IMessageFilterUI {
public:
    CWndLogon();
    ~CWndLogon() override;

    const SkinWndTraits& Traits() const override;
    // Escape posts the quit message.
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

    int GetAttemptCount() const { return m_nTryLoginCount; }
    int GetServerIndex() const { return m_nIndexLoginSvr; }

protected:
    LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
    void OnNotify(DuiLib::TNotifyUI& msg) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    // Accounts and the form.
    void FillSavedAccounts();
    void OnAccountSelected();
    void EnableLogonControls(bool enable);
    bool IsChecked(DuiLib::CControlUI* box) const;
    void SetChecked(DuiLib::CControlUI* box, bool checked);

    // Logging on.
    void StartGuestLogon();
    void StartAccountLogon();
    void BeginLogon();
    void TryLogon();
    void OnLogonTimeout();
    void OnConnectionLost();
    void OnLogonFailed(char* payload);
    void OnLogonOk(char* payload);
    void OnLogonComplete();
    void OpenRegistration();
    void OpenPasswordRecovery();

    // The logon answer (WndLogonAnswer.cpp).
    bool VersionDiffers();
    void StartUpdater();
    void SetUpUser();

    // The background check.
    void OnCheckStage(WPARAM stage);
    void SetStatus(const wchar_t* text);

    CMultiImageUI* m_pAdImage = nullptr;
    DuiLib::CControlUI* m_pMinBtn = nullptr;
    DuiLib::CControlUI* m_pAccountEdit = nullptr;
    DuiLib::CControlUI* m_pPwdEdit = nullptr;
    DuiLib::CControlUI* m_pLoginBtn = nullptr;
    DuiLib::CControlUI* m_pGuestBtn = nullptr;
    DuiLib::CControlUI* m_pRegisterBtn = nullptr;
    DuiLib::CControlUI* m_pGetPwdBtn = nullptr;
    DuiLib::CControlUI* m_pSavePwdCheck = nullptr;
    DuiLib::CControlUI* m_pAutoRunCheck = nullptr;
    DuiLib::CComboUI* m_pAccountCombo = nullptr;
    DuiLib::CControlUI* m_pSwitchPane = nullptr;
    DuiLib::CControlUI* m_pStateInfo = nullptr;
    DuiLib::CControlUI* m_pCaption = nullptr;
    bool m_bRegisterOpen = false;
    bool m_bFillingAccounts = false;
    int m_nTryLoginCount = 0;
    int m_nIndexLoginSvr = 0;
    std::unique_ptr<CLogonCheck> m_pCheck;
};

// The account text as a user id: a whole positive decimal number within int32, else 0.
int ParseAccountNumber(const wchar_t* text);
// The updater's command line and its parameters: the program path and every
// argument with a blank in it are quoted.
std::wstring QuoteArgument(const std::wstring& arg);
