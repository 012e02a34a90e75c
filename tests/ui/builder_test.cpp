// The layout builder: the tree it makes, the program's callback, element names,
// cloning, loading into a container, and layouts it cannot use.
#include <QString>

#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include "controls/DialogBuilderCallbackEx.h"
#include "ui_fixture.h"

using namespace DuiLib;

namespace {

const wchar_t* kLayout =
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    L"<Window size=\"400,300\" caption=\"0,0,0,28\" sizebox=\"3,3,3,3\" roundcorner=\"6,6\" "
    L"mininfo=\"200,150\">"
    L" <Font name=\"WenQuanYi Micro Hei\" size=\"12\" default=\"true\" />"
    L" <Font name=\"WenQuanYi Micro Hei\" size=\"16\" bold=\"true\" />"
    L" <Default name=\"Button\" value=\"textcolor=&quot;#FF112233&quot; height=&quot;24&quot;\" />"
    L" <VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\" inset=\"10,10,10,10\">"
    L"  <Label name=\"title\" text=\"标题\" height=\"30\" font=\"1\" textcolor=\"#FF445566\" "
    L"tooltip=\"提示\" />"
    L"  <Button name=\"ok\" text=\"确定\" padding=\"5,2,0,2\" width=\"80\" />"
    L"  <button name=\"lower\" />"
    L"  <MyWidget name=\"custom\"><Label name=\"inside_custom\" /></MyWidget>"
    L"  <Mystery name=\"unknown\"><Label name=\"inside_unknown\" /></Mystery>"
    L"  <HorizontalLayout name=\"row\" height=\"40\">"
    L"   <Option name=\"opt1\" group=\"g\" selected=\"true\" width=\"50\" />"
    L"   <Option name=\"opt2\" group=\"g\" width=\"50\" />"
    L"   <Control name=\"spring\" />"
    L"   <Edit name=\"edit\" width=\"100\" enabled=\"false\" />"
    L"  </HorizontalLayout>"
    L"  <Control name=\"stretch\" />"
    L"  <Label name=\"floating\" float=\"true\" pos=\"20,200,120,220\" visible=\"false\" />"
    L" </VerticalLayout>"
    L"</Window>";

// Records every element name it is asked for; makes a container for "MyWidget".
class RecordingCallback : public IDialogBuilderCallback {
public:
    std::vector<std::wstring> asked;
    CControlUI* CreateControl(LPCTSTR cls) override {
        asked.emplace_back(cls);
        if (std::wstring(cls) == L"MyWidget") return new CContainerUI;
        return nullptr;
    }
};

class BuilderTest : public UiTest {};

TEST_F(BuilderTest, LayoutBecomesATreeWithItsAttributes) {
    CPaintManagerUI pm;
    CDialogBuilder builder;
    RecordingCallback cb;
    CControlUI* root = builder.Create(kLayout, nullptr, &cb, &pm);
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(pm.AttachDialog(root));
    EXPECT_EQ(root->GetName(), L"root");
    EXPECT_STREQ(root->GetClass(), L"VerticalLayoutUI");

    // Window attributes reach the paint manager.
    EXPECT_EQ(pm.GetInitSize().cx, 400);
    EXPECT_EQ(pm.GetCaptionRect().bottom, 28);
    EXPECT_EQ(pm.GetSizeBox().left, 3);
    EXPECT_EQ(pm.GetRoundCorner().cx, 6);
    EXPECT_EQ(pm.GetMinInfo().cy, 150);
    EXPECT_EQ(pm.GetCustomFontCount(), 2u);
    EXPECT_TRUE(pm.GetFontInfo(1)->bBold);

    auto* title = static_cast<CLabelUI*>(pm.FindControl(L"title"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetText(), L"标题");
    EXPECT_EQ(title->GetTextColor(), 0xFF445566u);
    EXPECT_EQ(title->GetFont(), 1);
    EXPECT_EQ(title->GetToolTip(), L"提示");
    auto* ok = static_cast<CButtonUI*>(pm.FindControl(L"ok"));
    ASSERT_NE(ok, nullptr);
    EXPECT_STREQ(ok->GetClass(), L"ButtonUI");
    EXPECT_EQ(ok->GetTextColor(), 0xFF112233u) << "Default element applies to every Button";
    EXPECT_EQ(ok->GetFixedHeight(), 24);
    EXPECT_FALSE(pm.FindControl(L"edit")->IsEnabled());
    EXPECT_FALSE(pm.FindControl(L"floating")->IsVisible());
    auto* opt1 = static_cast<COptionUI*>(pm.FindControl(L"opt1"));
    auto* opt2 = static_cast<COptionUI*>(pm.FindControl(L"opt2"));
    ASSERT_TRUE(opt1 && opt2);
    EXPECT_TRUE(opt1->IsSelected());
    opt2->Selected(true);
    EXPECT_FALSE(opt1->IsSelected()) << "options of one group exclude each other";

    // Layout: fixed heights, padding, the stretchy rest and a floating control.
    root->SetPos(RECT{0, 0, 400, 300});
    EXPECT_EQ(title->GetPos().top, 10);
    EXPECT_EQ(title->GetPos().bottom, 40);
    EXPECT_EQ(ok->GetPos().left, 15);
    EXPECT_EQ(ok->GetPos().top, 42);
    EXPECT_EQ(ok->GetPos().right, 95);
    CControlUI* row = pm.FindControl(L"row");
    CControlUI* spring = pm.FindControl(L"spring");
    EXPECT_EQ(spring->GetPos().left, row->GetPos().left + 100);
    EXPECT_EQ(spring->GetPos().right, row->GetPos().right - 100);
    CControlUI* stretch = pm.FindControl(L"stretch");
    EXPECT_EQ(stretch->GetPos().top, row->GetPos().bottom);
    EXPECT_EQ(stretch->GetPos().bottom, 290);
    CControlUI* floating = pm.FindControl(L"floating");
    floating->SetVisible(true);
    root->SetPos(RECT{0, 0, 400, 300});
    EXPECT_EQ(floating->GetPos().left, 20);
    EXPECT_EQ(floating->GetPos().top, 200);
    EXPECT_EQ(floating->GetPos().right, 120);
}

TEST_F(BuilderTest, EveryElementIsAskedOfTheCallbackAndNamesAreCaseSensitive) {
    CPaintManagerUI pm;
    CDialogBuilder builder;
    RecordingCallback cb;
    ASSERT_TRUE(pm.AttachDialog(builder.Create(kLayout, nullptr, &cb, &pm)));
    std::set<std::wstring> asked(cb.asked.begin(), cb.asked.end());
    for (const wchar_t* n : {L"VerticalLayout", L"Label", L"Button", L"button", L"MyWidget",
                             L"Mystery", L"HorizontalLayout", L"Option", L"Control", L"Edit"})
        EXPECT_TRUE(asked.count(n)) << "not asked: " << QString::fromWCharArray(n).toStdString();
    EXPECT_FALSE(asked.count(L"Window") || asked.count(L"Font") || asked.count(L"Default"));
    // The callback's control is used, with its children.
    ASSERT_NE(pm.FindControl(L"custom"), nullptr);
    EXPECT_STREQ(pm.FindControl(L"custom")->GetClass(), L"ContainerUI");
    EXPECT_NE(pm.FindControl(L"inside_custom"), nullptr);
    // Names nobody knows build nothing, children included; "button" is not "Button".
    EXPECT_EQ(pm.FindControl(L"unknown"), nullptr);
    EXPECT_EQ(pm.FindControl(L"inside_unknown"), nullptr);
    EXPECT_EQ(pm.FindControl(L"lower"), nullptr);
}

TEST_F(BuilderTest, TheProgramFactoryComparesWholeNamesExactly) {
    // The skins' element names, in the order they are compared.
    const wchar_t* names[] = {L"RGroupTree",   L"UserList",     L"GiftList",        L"FaceList",
                              L"GiftListItem", L"UserListItem", L"FaceListItem",    L"PubVideo",
                              L"PopPubVideo",  L"VideoPane",    L"VideoImg",        L"RoomCtrl",
                              L"GiftControl",  L"MVUserList",   L"VideoImgPreview", L"MultiImage"};
    CDialogBuilderCallbackEx factory;
    for (int i = 0; i < 16; ++i) {
        const wchar_t* n = names[i];
        std::string what = QString::fromWCharArray(n).toStdString();
        EXPECT_EQ(CDialogBuilderCallbackEx::FindElement(n), i) << what;
        // Each name builds its entry's control (nothing while its class is not there yet).
        CControlUI* made = factory.CreateControl(n);
        EXPECT_EQ(made != nullptr, CDialogBuilderCallbackEx::kEntries[i].create != nullptr) << what;
        delete made;
        // Another letter case, a trailing blank or a cut name is not the element.
        std::wstring upper(n), lower(n), blank(n), cut(n);
        for (auto& c : upper) c = static_cast<wchar_t>(towupper(c));
        for (auto& c : lower) c = static_cast<wchar_t>(towlower(c));
        blank += L' ';
        cut.pop_back();
        for (const std::wstring& other : {upper, lower, blank, cut})
            EXPECT_EQ(CDialogBuilderCallbackEx::FindElement(other.c_str()), -1) << what;
    }
    EXPECT_EQ(CDialogBuilderCallbackEx::FindElement(L"Button"), -1);
    EXPECT_EQ(factory.CreateControl(L"Button"), nullptr);
    // An element neither the factory nor the library knows builds nothing.
    CPaintManagerUI pm;
    CDialogBuilder builder;
    CControlUI* root =
        builder.Create(L"<Window><NoSuchControl name=\"u\" /><Button name=\"b\" /></Window>",
                       nullptr, &factory, &pm);
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->GetClass(), L"ButtonUI");
    delete root;
}

TEST_F(BuilderTest, KeptLayoutIsClonedAndCanLoadIntoAContainer) {
    CPaintManagerUI pm;
    CDialogBuilder item;
    CControlUI* first = item.Create(
        L"<ListContainerElement name=\"item\" height=\"30\"><Label name=\"nick\" text=\"n\" "
        L"/></ListContainerElement>",
        nullptr, nullptr, &pm);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(item.IsLoaded());
    CListUI list;
    list.SetManager(&pm, nullptr, false);
    ASSERT_TRUE(list.Add(first));
    // A second tree from the kept layout, built straight into the list.
    CControlUI* second = item.Create(nullptr, &pm, &list);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetItemAt(1), second);
    EXPECT_NE(pm.FindSubControlByName(second, L"nick"), nullptr);
    EXPECT_NE(pm.FindSubControlByName(second, L"nick"), pm.FindSubControlByName(first, L"nick"));
    second->SetTag(7);
    EXPECT_EQ(list.GetItemIndexByTag(7), 1);
    EXPECT_EQ(list.RemoveByTag(7), 1);
    EXPECT_EQ(list.GetCount(), 1);
}

// The tree of a window has one root. Controls after it, written or included, would
// belong to nobody: they are not built (the sanitizer build sees what is left over).
TEST_F(BuilderTest, ControlsAfterTheRootAreNotBuilt) {
    CPaintManagerUI pm;
    CDialogBuilder b;
    RecordingCallback cb;
    CControlUI* root = b.Create(
        L"<Window size=\"100,100\"><VerticalLayout name=\"root\"><Label name=\"in\" />"
        L"</VerticalLayout><Label name=\"after\" /><Button name=\"later\" />"
        L"<Include source=\"WndMsgBox1.xml\" count=\"2\" /></Window>",
        nullptr, &cb, &pm);
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(pm.AttachDialog(root));
    EXPECT_EQ(root->GetName(), L"root");
    EXPECT_NE(pm.FindControl(L"in"), nullptr);
    for (const wchar_t* n : {L"after", L"later", L"okbtn"}) EXPECT_EQ(pm.FindControl(n), nullptr);
    EXPECT_EQ(cb.asked, (std::vector<std::wstring>{L"VerticalLayout", L"Label"}));
}

TEST_F(BuilderTest, UnreadableLayoutsGiveNoTree) {
    CPaintManagerUI pm;
    CDialogBuilder b;
    EXPECT_EQ(b.Create(L"no-such-layout.xml", nullptr, nullptr, &pm), nullptr);
    EXPECT_EQ(b.Create(L"<Window><VerticalLayout></Window>", nullptr, nullptr, &pm), nullptr);
    EXPECT_FALSE(b.IsLoaded());
    EXPECT_EQ(b.Create(nullptr, &pm, nullptr), nullptr);
    // The skin's own layouts parse.
    CDialogBuilder skin;
    CControlUI* box = skin.Create(L"WndMsgBox1.xml", nullptr, nullptr, &pm);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(pm.AttachDialog(box));
    for (const wchar_t* n : {L"tip", L"okbtn", L"cancelbtn", L"closebtn", L"winBG"})
        EXPECT_NE(pm.FindControl(n), nullptr);
}

}  // namespace
