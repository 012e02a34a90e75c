// The program's control factory: the skin layouts' own element names.
#pragma once

#include "fenlo/UIlib.h"

class CDialogBuilderCallbackEx : public DuiLib::IDialogBuilderCallback {
public:
    // A new control for one of the program's element names (exact, case-sensitive),
    // or null: the builder then makes one of the library's own controls.
    DuiLib::CControlUI* CreateControl(LPCTSTR pstrClass) override;

    using Creator = DuiLib::CControlUI* (*)();
    struct Entry {
        const wchar_t* element;
        // Null while the control's class is not part of the program.
        Creator create;
    };
    // The element names in the order they are compared. The room's two video
    // containers live on a floor above this one: their own files fill in the creators
    // (SetCreator) when they are linked in, so this table names no class above it.
    static Entry kEntries[16];
    // The place of the first entry whose name is exactly this one, or -1.
    static int FindElement(LPCTSTR pstrClass);
    // Gives the element its creator; false (nothing changed) for a name not in the table.
    static bool SetCreator(LPCTSTR pstrClass, Creator create);
};
