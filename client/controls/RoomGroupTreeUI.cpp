#include "controls/RoomGroupTreeUI.h"

#include <cwchar>
#include <string>

#include "controls/DialogBuilderCallbackEx.h"

using namespace DuiLib;

namespace {

const wchar_t kRowLayout[] = L"roomgroupitem.xml";
const wchar_t kRowClass[] = L"ListContainerElementUI";

// Group names come from the network as plain text. The caption markup has no escape,
// so a zero-width space after every opening bracket keeps a name such as "<b>" or
// "{x 500}" from being read as a tag, without changing what is drawn.
std::wstring PlainMarkupText(const wchar_t* text) {
    std::wstring out;
    for (const wchar_t* p = text; p && *p; ++p) {
        out += *p;
        if (*p == L'<' || *p == L'{') out += L'\x200B';
    }
    return out;
}

CControlUI* CALLBACK FindByName(CControlUI* c, LPVOID name) {
    return c && c->GetName() == static_cast<const wchar_t*>(name) ? c : nullptr;
}

CRoomGroupNode* NodeOf(CControlUI* row) {
    return row ? reinterpret_cast<CRoomGroupNode*>(row->GetTag()) : nullptr;
}

CRoomGroupNode* FindByRow(CRoomGroupNode* node, const CControlUI* row) {
    if (node->data().row == row) return node;
    for (int i = 0; i < node->num_children(); ++i)
        if (CRoomGroupNode* found = FindByRow(node->child(i), row)) return found;
    return nullptr;
}

}  // namespace

CRoomGroupTreeUI::CRoomGroupTreeUI() {
    SetItemShowHtml(true);
    CDialogBuilderCallbackEx cb;
    // Parsed once; rows are cloned from the kept layout.
    delete m_dlgBuilder.Create(kRowLayout, nullptr, &cb, nullptr, nullptr);
    RoomGroupNodeData root;
    root.id = -1;
    root.level = -1;
    root.expanded = true;
    m_pRoot = std::make_unique<CRoomGroupNode>(root, nullptr);
}

CRoomGroupTreeUI::~CRoomGroupTreeUI() = default;

CListContainerElementUI* CRoomGroupTreeUI::CreateRow() {
    CDialogBuilderCallbackEx cb;
    CControlUI* c = m_dlgBuilder.Create(&cb, m_pPaintManager, nullptr);
    if (!c) return nullptr;
    auto* row = static_cast<CListContainerElementUI*>(c->GetInterface(L"ListContainerElement"));
    if (!row) delete c;  // a row layout whose root is no list row is of no use
    return row;
}

CDuiString CRoomGroupTreeUI::CaptionHtml(const RoomGroupNodeData& data, bool bold) {
    std::wstring s = L"<x 6>";
    for (int i = 0; i < data.level; ++i) s += L"<x 24>";
    if (data.level == 0)
        s += data.expanded ? L"<a><i fang.png 1 0></a>" : L"<a><i fang.png 1 1></a>";
    if (bold) s += L"<b>";
    s += PlainMarkupText(data.caption.GetData());
    if (bold) s += L"</b>";
    return CDuiString(s.c_str());
}

CControlUI* CRoomGroupTreeUI::FindRowPart(CControlUI* row, LPCTSTR name) const {
    if (!row) return nullptr;
    if (m_pPaintManager) return m_pPaintManager->FindSubControlByName(row, name);
    // Before the lobby hands over its manager the row is searched directly.
    return row->FindControl(FindByName, const_cast<wchar_t*>(name), UIFIND_ALL);
}

int CRoomGroupTreeUI::RowIndex(CRoomGroupNode* node) const {
    return node && node->data().row ? GetItemIndex(node->data().row) : -1;
}

CRoomGroupNode* CRoomGroupTreeUI::AddNode(int id, LPCTSTR caption, LPCTSTR value, bool showCount,
                                          int count, CRoomGroupNode* parent, bool bold,
                                          DWORD textColor) {
    if (!parent) parent = m_pRoot.get();
    CListContainerElementUI* row = CreateRow();
    if (!row) return nullptr;

    RoomGroupNodeData data;
    data.id = id;
    data.level = parent->data().level + 1;
    data.expanded = data.level == 0;
    data.bold = bold;
    data.caption = caption ? caption : L"";
    data.value = value ? value : L"";
    data.row = row;
    auto node = std::make_unique<CRoomGroupNode>(data, parent);

    if (parent != m_pRoot.get() && (!parent->data().expanded || !parent->data().row->IsVisible()))
        row->SetInternVisible(false);

    if (CControlUI* name = FindRowPart(row, L"cgroupname")) {
        name->SetText(CaptionHtml(data, bold));
        if (textColor != 0)
            if (auto* label = static_cast<CLabelUI*>(name->GetInterface(L"Label")))
                label->SetTextColor(textColor);
    }
    if (CControlUI* num = FindRowPart(row, L"cusernum")) {
        num->SetText(std::to_wstring(count).c_str());
        num->SetVisible(showCount);
    }
    row->SetTag(reinterpret_cast<UINT_PTR>(node.get()));

    int index;
    if (parent->has_children())
        index = RowIndex(parent->get_last_child()->last_descendant()) + 1;
    else
        index = parent == m_pRoot.get() ? 0 : RowIndex(parent) + 1;
    if (index < 0 || index > GetCount() || !AddAt(row, index)) {
        delete row;
        return nullptr;
    }
    CRoomGroupNode* added = node.get();
    parent->add_child(std::move(node));
    return added;
}

void CRoomGroupTreeUI::SetExpanded(CRoomGroupNode* node, bool expanded) {
    if (!node || node == m_pRoot.get() || node->data().expanded == expanded) return;
    RoomGroupNodeData& data = node->data();
    data.expanded = expanded;
    if (CControlUI* name = FindRowPart(data.row, L"cgroupname"))
        name->SetText(CaptionHtml(data, data.bold));
    if (data.row && data.row->IsVisible() && node->has_children()) {
        // Through the end of the whole subtree: rows below the last child belong to
        // the group too. Rows lie in tree order, so a parent is settled before its
        // children are looked at.
        int first = RowIndex(node->child(0));
        int last = RowIndex(node->last_descendant());
        for (int i = first; first >= 0 && i <= last; ++i) {
            CControlUI* row = GetItemAt(i);
            if (!row || std::wcscmp(row->GetClass(), kRowClass) != 0) continue;
            CRoomGroupNode* n = NodeOf(row);
            CRoomGroupNode* p = n ? n->parent() : nullptr;
            if (!p) continue;
            bool parentShown = !p->data().row || p->data().row->IsVisible();
            row->SetInternVisible(p->data().expanded && parentShown);
        }
    }
    NeedUpdate();
}

CRoomGroupNode* CRoomGroupTreeUI::FindNodeById(int id) {
    CRoomGroupNode* root = m_pRoot.get();
    if (!root->has_children()) return nullptr;
    // Every row of the tree, the subtree of the last top-level group included.
    int first = RowIndex(root->child(0));
    int last = RowIndex(root->last_descendant());
    for (int i = first; first >= 0 && i <= last; ++i) {
        CControlUI* row = GetItemAt(i);
        if (!row || std::wcscmp(row->GetClass(), kRowClass) != 0) continue;
        CRoomGroupNode* n = NodeOf(row);
        if (n && n->data().id == id) return n;
    }
    return nullptr;
}

CRoomGroupNode* CRoomGroupTreeUI::NodeOfRow(const CControlUI* control) const {
    // Found by walking the nodes, never by trusting a control's tag.
    if (!control) return nullptr;
    return FindByRow(m_pRoot.get(), control);
}
