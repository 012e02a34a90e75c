// Builds control trees from skin layouts (XML). The parsed layout is kept so that
// the same tree can be built again (item templates).
#pragma once

#include <memory>

#include "fenlo/UIManager.h"

namespace DuiLib {

class CDialogBuilder {
public:
    CDialogBuilder();
    ~CDialogBuilder();

    // xml is a file name in the resource path, or the layout text itself when it
    // starts with '<'. Returns null when the layout cannot be read or has no root.
    CControlUI* Create(STRINGorID xml, LPCTSTR type = nullptr,
                       IDialogBuilderCallback* pCallback = nullptr,
                       CPaintManagerUI* pManager = nullptr, CControlUI* pParent = nullptr);
    // Builds again from the kept layout.
    CControlUI* Create(IDialogBuilderCallback* pCallback = nullptr,
                       CPaintManagerUI* pManager = nullptr, CControlUI* pParent = nullptr);
    bool IsLoaded() const;
    CDuiString GetLastErrorMessage() const;

    // The library's own element names (case-sensitive); null for an unknown one.
    static CControlUI* CreateStandardControl(LPCTSTR pstrClass);

    struct Node;

private:
    CControlUI* BuildChildren(const Node& parent, CControlUI* pParent,
                              IDialogBuilderCallback* pCallback, CPaintManagerUI* pManager);
    CControlUI* BuildNode(const Node& node, CControlUI* pParent, IDialogBuilderCallback* pCallback,
                          CPaintManagerUI* pManager);

    std::unique_ptr<Node> m_root;
    CDuiString m_error;
};

}  // namespace DuiLib
