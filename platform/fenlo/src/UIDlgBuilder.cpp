#include "fenlo/UIDlgBuilder.h"

#include <QXmlStreamReader>

#include <string>
#include <utility>
#include <vector>

#include "fenlo/UIExtra.h"
#include "fenlo/UIList.h"
#include "fenlo/UIRichEdit.h"
#include "fenlo/UIWebBrowser.h"
#include "internal.h"

namespace DuiLib {

using namespace detail;

struct CDialogBuilder::Node {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    std::vector<std::unique_ptr<Node>> children;
    const wchar_t* Attr(const wchar_t* key) const {
        for (const auto& a : attributes)
            if (a.first == key) return a.second.c_str();
        return nullptr;
    }
};

namespace {

bool IsAbsolute(const std::wstring& p) {
    return !p.empty() && (p[0] == L'/' || p[0] == L'\\' || (p.size() > 1 && p[1] == L':'));
}

// Skin files come as UTF-8 or UTF-16 (with a byte-order mark), or in the ANSI code
// page when their declaration names another encoding.
QString DecodeXml(const std::string& bytes) {
    auto u = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && u(0) == 0xFF && u(1) == 0xFE) {
        std::u16string s((bytes.size() - 2) / 2, u'\0');
        for (size_t i = 0; i < s.size(); ++i)
            s[i] = static_cast<char16_t>(u(2 + 2 * i) | (u(3 + 2 * i) << 8));
        return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
    }
    if (bytes.size() >= 2 && u(0) == 0xFE && u(1) == 0xFF) {
        std::u16string s((bytes.size() - 2) / 2, u'\0');
        for (size_t i = 0; i < s.size(); ++i)
            s[i] = static_cast<char16_t>((u(2 + 2 * i) << 8) | u(3 + 2 * i));
        return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
    }
    if (bytes.size() >= 3 && u(0) == 0xEF && u(1) == 0xBB && u(2) == 0xBF)
        return QString::fromUtf8(bytes.data() + 3, static_cast<qsizetype>(bytes.size() - 3));
    std::string head = bytes.substr(0, std::min<size_t>(bytes.size(), 200));
    for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t enc = head.find("encoding");
    if (enc != std::string::npos && head.find("utf-8", enc) == std::string::npos &&
        head.find("utf8", enc) == std::string::npos) {
        return QString::fromStdWString(winplat::AnsiToWide(bytes));
    }
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::unique_ptr<CDialogBuilder::Node> ParseXml(const QString& text, CDuiString& error) {
    QXmlStreamReader r(text);
    std::unique_ptr<CDialogBuilder::Node> root;
    std::vector<CDialogBuilder::Node*> stack;
    while (!r.atEnd()) {
        QXmlStreamReader::TokenType t = r.readNext();
        if (t == QXmlStreamReader::StartElement) {
            auto node = std::make_unique<CDialogBuilder::Node>();
            node->name = r.name().toString().toStdWString();
            for (const QXmlStreamAttribute& a : r.attributes())
                node->attributes.emplace_back(a.name().toString().toStdWString(),
                                              a.value().toString().toStdWString());
            CDialogBuilder::Node* raw = node.get();
            if (stack.empty()) {
                if (root) break;  // one root only
                root = std::move(node);
            } else {
                stack.back()->children.push_back(std::move(node));
            }
            stack.push_back(raw);
        } else if (t == QXmlStreamReader::EndElement) {
            if (!stack.empty()) stack.pop_back();
        }
    }
    if (r.hasError()) {
        error = D(QStringLiteral("line %1: %2").arg(r.lineNumber()).arg(r.errorString()));
        return nullptr;
    }
    return root;
}

void ApplyWindowAttributes(const CDialogBuilder::Node& win, CPaintManagerUI* pm) {
    for (const auto& a : win.attributes) {
        const std::wstring& n = a.first;
        const wchar_t* v = a.second.c_str();
        if (n == L"size") {
            SIZE s = ParseSize(v);
            pm->SetInitSize(s.cx, s.cy);
        } else if (n == L"sizebox") {
            RECT r = ParseRect(v);
            pm->SetSizeBox(r);
        } else if (n == L"caption") {
            RECT r = ParseRect(v);
            pm->SetCaptionRect(r);
        } else if (n == L"roundcorner") {
            SIZE s = ParseSize(v);
            pm->SetRoundCorner(s.cx, s.cy);
        } else if (n == L"mininfo") {
            SIZE s = ParseSize(v);
            pm->SetMinInfo(s.cx, s.cy);
        } else if (n == L"maxinfo") {
            SIZE s = ParseSize(v);
            pm->SetMaxInfo(s.cx, s.cy);
        } else if (n == L"showdirty")
            pm->SetShowUpdateRect(ParseBool(v));
        else if (n == L"alpha")
            pm->SetTransparent(ParseInt(v));
        else if (n == L"bktrans")
            pm->SetBackgroundTransparent(ParseBool(v));
        else if (n == L"disabledfontcolor")
            pm->SetDefaultDisabledColor(ParseColor(v));
        else if (n == L"defaultfontcolor")
            pm->SetDefaultFontColor(ParseColor(v));
        else if (n == L"linkfontcolor")
            pm->SetDefaultLinkFontColor(ParseColor(v));
        else if (n == L"linkhoverfontcolor")
            pm->SetDefaultLinkHoverFontColor(ParseColor(v));
        else if (n == L"selectedcolor")
            pm->SetDefaultSelectedBkColor(ParseColor(v));
    }
}

void ApplyResources(const CDialogBuilder::Node& win, CPaintManagerUI* pm) {
    for (const auto& child : win.children) {
        const CDialogBuilder::Node& c = *child;
        if (c.name == L"Font") {
            const wchar_t* name = c.Attr(L"name");
            int size = c.Attr(L"size") ? ParseInt(c.Attr(L"size")) : 12;
            bool bold = ParseBool(c.Attr(L"bold"));
            bool underline = ParseBool(c.Attr(L"underline"));
            bool italic = ParseBool(c.Attr(L"italic"));
            if (ParseBool(c.Attr(L"default")))
                pm->SetDefaultFont(name, size, bold, underline, italic);
            pm->AddFont(name, size, bold, underline, italic);
        } else if (c.name == L"Default") {
            const wchar_t* name = c.Attr(L"name");
            const wchar_t* value = c.Attr(L"value");
            if (name && value) pm->AddDefaultAttributeList(name, value);
        } else if (c.name == L"Image") {
            const wchar_t* name = c.Attr(L"name");
            DWORD mask = c.Attr(L"mask") ? ParseColor(c.Attr(L"mask")) : 0;
            if (name) pm->GetImageEx(name, nullptr, mask);
        }
    }
}

bool IsResourceElement(const std::wstring& n) {
    return n == L"Font" || n == L"Default" || n == L"Image" || n == L"Window";
}

}  // namespace

CDialogBuilder::CDialogBuilder() = default;
CDialogBuilder::~CDialogBuilder() = default;

bool CDialogBuilder::IsLoaded() const {
    return m_root != nullptr;
}
CDuiString CDialogBuilder::GetLastErrorMessage() const {
    return m_error;
}

CControlUI* CDialogBuilder::CreateStandardControl(LPCTSTR cls) {
    if (!cls) return nullptr;
    std::wstring n(cls);
    if (n == L"Control") return new CControlUI;
    if (n == L"Container") return new CContainerUI;
    if (n == L"VerticalLayout") return new CVerticalLayoutUI;
    if (n == L"HorizontalLayout") return new CHorizontalLayoutUI;
    if (n == L"TileLayout") return new CTileLayoutUI;
    if (n == L"TabLayout") return new CTabLayoutUI;
    if (n == L"Label") return new CLabelUI;
    if (n == L"Text") return new CTextUI;
    if (n == L"Button") return new CButtonUI;
    if (n == L"Option") return new COptionUI;
    if (n == L"CheckBox") return new CCheckBoxUI;
    if (n == L"Edit") return new CEditUI;
    if (n == L"Combo") return new CComboUI;
    if (n == L"List") return new CListUI;
    if (n == L"ListLabelElement" || n == L"ListTextElement") return new CListLabelElementUI;
    if (n == L"ListContainerElement") return new CListContainerElementUI;
    if (n == L"Progress") return new CProgressUI;
    if (n == L"Slider") return new CSliderUI;
    if (n == L"ScrollBar") return new CScrollBarUI;
    if (n == L"RichEdit") return new CRichEditUI;
    if (n == L"WebBrowser") return new CWebBrowserUI;
    if (n == L"FlyGiftLabel") return new CFlyGiftLabelUI;
    if (n == L"VolumeLabel") return new CVolumeLabelUI;
    return nullptr;
}

CControlUI* CDialogBuilder::Create(STRINGorID xml, LPCTSTR, IDialogBuilderCallback* cb,
                                   CPaintManagerUI* pm, CControlUI* parent) {
    m_root.reset();
    m_error.Empty();
    QString text;
    if (xml.m_lpstr && xml.m_lpstr[0] == L'<') {
        text = Q(xml.m_lpstr);
    } else if (xml.m_lpstr) {
        std::wstring name(xml.m_lpstr);
        std::wstring full = IsAbsolute(name)
                                ? name
                                : std::wstring(CPaintManagerUI::GetResourcePath().GetData()) + name;
        std::string bytes;
        if (!winplat::ReadWholeFile(full, bytes)) {
            m_error = CDuiString(L"cannot read ") + full.c_str();
            ::OutputDebugStringW((L"skin layout missing: " + full + L"\n").c_str());
            return nullptr;
        }
        text = DecodeXml(bytes);
    } else {
        m_error = L"layouts by resource number are not carried";
        return nullptr;
    }
    m_root = ParseXml(text, m_error);
    if (!m_root) {
        ::OutputDebugStringW(
            (std::wstring(L"skin layout not parsed: ") + m_error.GetData() + L"\n").c_str());
        return nullptr;
    }
    return Create(cb, pm, parent);
}

CControlUI* CDialogBuilder::Create(IDialogBuilderCallback* cb, CPaintManagerUI* pm,
                                   CControlUI* parent) {
    if (!m_root) return nullptr;
    const Node& root = *m_root;
    if (root.name == L"Window") {
        if (pm) {
            ApplyResources(root, pm);
            ApplyWindowAttributes(root, pm);
        }
        return BuildChildren(root, parent, cb, pm);
    }
    // A layout without a Window root is one control tree (item templates).
    return BuildNode(root, parent, cb, pm);
}

CControlUI* CDialogBuilder::BuildChildren(const Node& node, CControlUI* parent,
                                          IDialogBuilderCallback* cb, CPaintManagerUI* pm) {
    CControlUI* first = nullptr;
    for (const auto& childPtr : node.children) {
        const Node& child = *childPtr;
        if (IsResourceElement(child.name)) continue;
        // Without a parent the first control is the whole tree: nothing would own a
        // second one.
        if (!parent && first) {
            ::OutputDebugStringW(
                (L"skin element ignored after the root: " + child.name + L"\n").c_str());
            continue;
        }
        if (child.name == L"Include") {
            const wchar_t* src = child.Attr(L"source");
            int count = child.Attr(L"count") ? std::max(1, ParseInt(child.Attr(L"count"))) : 1;
            for (int i = 0; i < count && src && (parent || !first); ++i) {
                CDialogBuilder inc;
                CControlUI* c = inc.Create(STRINGorID(src), nullptr, cb, pm, parent);
                if (!first) first = c;
            }
            continue;
        }
        CControlUI* control = BuildNode(child, parent, cb, pm);
        if (!first) first = control;
    }
    return first;
}

CControlUI* CDialogBuilder::BuildNode(const Node& child, CControlUI* parent,
                                      IDialogBuilderCallback* cb, CPaintManagerUI* pm) {
    CControlUI* control = cb ? cb->CreateControl(child.name.c_str()) : nullptr;
    if (!control) control = CreateStandardControl(child.name.c_str());
    if (!control) {
        ::OutputDebugStringW((L"skin element not known: " + child.name + L"\n").c_str());
        return nullptr;
    }
    if (!child.children.empty()) BuildChildren(child, control, cb, pm);
    if (parent) {
        auto* container = static_cast<CContainerUI*>(parent->GetInterface(L"Container"));
        if (!container || !container->Add(control)) {
            delete control;
            return nullptr;
        }
    } else if (pm) {
        pm->InitControls(control, nullptr);
    }
    if (pm) {
        LPCTSTR defaults = pm->GetDefaultAttributeList(child.name.c_str());
        if (defaults) control->ApplyAttributeList(defaults);
    }
    for (const auto& a : child.attributes) control->SetAttribute(a.first.c_str(), a.second.c_str());
    return control;
}

}  // namespace DuiLib
