// The lobby's tree of room groups: a list whose rows are cloned from a small row
// layout and indented by level, so that a flat list reads as a tree whose top-level
// groups open and close.
#pragma once

#include <memory>
#include <vector>

#include "fenlo/UIlib.h"

// What one group's row shows and what the lobby reads back from it.
struct RoomGroupNodeData {
    int id = -1;                                     // group id; -1 for the root
    int level = -1;                                  // -1 root, 0 top level, parent's + 1 below
    bool expanded = false;                           // the root is always expanded
    bool bold = false;                               // caption drawn in bold
    DuiLib::CDuiString caption;                      // the group name, plain text
    DuiLib::CDuiString value;                        // the group's address text
    DuiLib::CListContainerElementUI* row = nullptr;  // null for the root; its tag is the node
};

// One group; owns its children, in insertion order.
class CRoomGroupNode {
public:
    CRoomGroupNode(const RoomGroupNodeData& data, CRoomGroupNode* parent)
        : m_data(data), m_parent(parent) {}
    CRoomGroupNode(const CRoomGroupNode&) = delete;
    CRoomGroupNode& operator=(const CRoomGroupNode&) = delete;

    RoomGroupNodeData& data() { return m_data; }
    CRoomGroupNode* parent() const { return m_parent; }
    int num_children() const { return static_cast<int>(m_children.size()); }
    bool has_children() const { return !m_children.empty(); }
    CRoomGroupNode* child(int i) const {
        return i >= 0 && i < num_children() ? m_children[static_cast<size_t>(i)].get() : nullptr;
    }
    CRoomGroupNode* get_last_child() const {
        return m_children.empty() ? nullptr : m_children.back().get();
    }
    // The node whose row ends this node's subtree (the node itself when it has none).
    CRoomGroupNode* last_descendant() {
        CRoomGroupNode* n = this;
        while (n->has_children()) n = n->get_last_child();
        return n;
    }
    void add_child(std::unique_ptr<CRoomGroupNode> child) {
        m_children.push_back(std::move(child));
    }

private:
    RoomGroupNodeData m_data;
    CRoomGroupNode* m_parent;
    std::vector<std::unique_ptr<CRoomGroupNode>> m_children;
};

class CRoomGroupTreeUI : public DuiLib::CListUI {
public:
    CRoomGroupTreeUI();
    ~CRoomGroupTreeUI() override;
    CRoomGroupTreeUI(const CRoomGroupTreeUI&) = delete;
    CRoomGroupTreeUI& operator=(const CRoomGroupTreeUI&) = delete;

    // A new group under parent (null: the top level); its row goes after the parent's
    // whole subtree. Null when no row could be made or inserted.
    CRoomGroupNode* AddNode(int id, LPCTSTR caption, LPCTSTR value, bool showCount, int count,
                            CRoomGroupNode* parent, bool bold, DWORD textColor);
    CRoomGroupNode* FindNodeById(int id);
    // The node whose row the control is; null for any other control (a row part, a
    // row of another list, a control elsewhere in the window).
    CRoomGroupNode* NodeOfRow(const DuiLib::CControlUI* control) const;
    // Opens or closes a group: its caption's expander changes and its descendants'
    // rows show or hide.
    void SetExpanded(CRoomGroupNode* node, bool expanded);
    CRoomGroupTreeUI* SetPaintManager(DuiLib::CPaintManagerUI* pm) {
        m_pPaintManager = pm;
        return this;
    }
    // A new row from the parsed row layout, or null.
    DuiLib::CListContainerElementUI* CreateRow();

    CRoomGroupNode* GetRoot() const { return m_pRoot.get(); }
    // The caption markup of a node; the name is drawn as plain text.
    static DuiLib::CDuiString CaptionHtml(const RoomGroupNodeData& data, bool bold);

private:
    DuiLib::CControlUI* FindRowPart(DuiLib::CControlUI* row, LPCTSTR name) const;
    int RowIndex(CRoomGroupNode* node) const;

    std::unique_ptr<CRoomGroupNode> m_pRoot;
    DuiLib::CPaintManagerUI* m_pPaintManager = nullptr;
    DuiLib::CDialogBuilder m_dlgBuilder;
};
