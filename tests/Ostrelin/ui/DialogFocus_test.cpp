// Every hub dialog whose first focus is an edit proposes its text so that the first key
// replaces it: typing 4 into the proposed guide number 4 gives 4, not 44.
#include "Ostrelin/ui/ContentEditDialog.h"
#include "Ostrelin/ui/WdbEditDialog.h"
#include "PageFixture.h"
#include "common/FirstFocus.h"
#include "framework/DialogFocus.h"

#include <QLineEdit>
#include <functional>
#include <memory>

using namespace PageFixture;

namespace
{
class HubDialogFocus : public PageTest
{
protected:
    static std::unique_ptr<QDialog> WorkSettings(const CGuideEntry* entry)
    {
        auto dialog = std::make_unique<CContentEditDialog>(entry);
        dialog->OnInitDialog();
        return dialog;
    }
    CDialogFocus m_focus{*qApp};
};

TEST_F(HubDialogFocus, TheFirstKeyReplacesTheProposedText)
{
    AddWorks({1, 2, 3});
    Register({{1, 1}, {2, 2}, {3, 3}});
    CGuideEntry added;
    added.m_nGuideNo = 4;
    added.m_nWorkNo = -1;
    CServer server;
    server.m_strName = QStringLiteral("CNT01");
    const struct
    {
        const char* name;
        std::function<std::unique_ptr<QDialog>()> open;
        std::function<QLineEdit*(QDialog&)> edit;
        QString proposed;
        char typed;
    } cases[] = {
        {"work settings, a new registration", [&] { return WorkSettings(&added); },
         [](QDialog& d) { return static_cast<CContentEditDialog&>(d).GuideNumberEdit(); },
         QStringLiteral("4"), '4'},
        {"work settings, a registered number", [&] { return WorkSettings(Data().FindGuide(2)); },
         [](QDialog& d) { return static_cast<CContentEditDialog&>(d).GuideNumberEdit(); },
         QStringLiteral("2"), '7'},
        {"server settings",
         [&]
         {
             auto dialog = std::make_unique<CWdbEditDialog>(&server);
             dialog->OnInitDialog();
             return dialog;
         },
         [](QDialog& d) { return static_cast<CWdbEditDialog&>(d).NameEdit(); },
         QStringLiteral("CNT01"), 'P'},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<QDialog> dialog = c.open();
        QLineEdit* edit = c.edit(*dialog);
        ASSERT_EQ(edit->text(), c.proposed);
        ASSERT_EQ(FirstFocus::TypeOne(*dialog, c.typed), edit) << "the first focus is elsewhere";
        EXPECT_EQ(edit->text(), QString(QChar::fromLatin1(c.typed)));
    }
}
} // namespace
