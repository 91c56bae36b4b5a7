// The import's choice of a file or an address book server.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "support/GuiTestSupport.h"
#include "ui/ImportSourceForm.h"

namespace dialvane {
namespace {

using ImportSourceFormTest = testing::GuiTest;

TEST_F(ImportSourceFormTest, RememberedPasswordGoesOnlyToItsServerAndUserAndEscapeCancels) {
    TImportSourceForm form;
    const ContactsSourceChoice kept{true, "https://dav.example/fax/", "office", "kept-1", true};
    struct Case {
        QLineEdit* typedIn;  // one character typed at its end; null: nothing typed
        Qt::Key key;
        bool accepted;
        const char* password;  // the one chosen
    } cases[] = {
        {nullptr, Qt::Key_Return, true, "kept-1"},
        {form.EDT_Url, Qt::Key_Return, true, ""},
        {form.EDT_User, Qt::Key_Return, true, ""},
        {nullptr, Qt::Key_Escape, false, "kept-1"},
    };
    for (const Case& c : cases) {
        ContactsSourceChoice choice = kept;
        QTimer::singleShot(0, &form, [&] {
            if (c.typedIn != nullptr) {
                c.typedIn->end(false);
                QTest::keyClicks(c.typedIn, "x");
            }
            QTest::keyClick(&form, c.key);
        });
        EXPECT_EQ(form.Execute(choice), c.accepted) << c.key;
        EXPECT_EQ(choice.password, c.password)
            << (c.typedIn ? c.typedIn->objectName().toStdString() : "");
        EXPECT_TRUE(choice.server && choice.remember);
        EXPECT_TRUE(form.EDT_Password->text().isEmpty());  // nothing left in the kept dialog
    }
}

}  // namespace
}  // namespace dialvane
