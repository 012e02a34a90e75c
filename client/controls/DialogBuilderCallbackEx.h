// The program's control factory: the skin layouts' own element names.
#pragma once

#include "fenlo/UIlib.h"

class CDialogBuilderCallbackEx : public DuiLib::IDialogBuilderCallback {
public:
    // A new control for one of the program's element names (exact, case-sensitive),
    // or null: the builder then makes one of the library's own controls.
    DuiLib::CControlUI* CreateControl(LPCTSTR pstrClass) override;

    struct Entry {
        const wchar_t* element;
        // Null while the control's class is not part of the program yet.
        DuiLib::CControlUI* (*create)();
    };
    // The element names in the order they are compared.
    static const Entry kEntries[16];
    // The place of the first entry whose name is exactly this one, or -1.
    static int FindElement(LPCTSTR pstrClass);
};
