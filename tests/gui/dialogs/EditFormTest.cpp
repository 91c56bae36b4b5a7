// The speed-dial entry dialog: free numbers, the checks on OK in their order, and the cancel
// question.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/GuiTestSupport.h"
#include "support/TestProducts.h"
#include "ui/EditForm.h"

namespace dialvane {
namespace {

// Products "QUICK" (200 speed dials, keywords) and "ONE" (no keywords); speed dials 1 and 3 in
// use.
class EditFormTest : public testing::GuiTest {
  protected:
    EditFormTest()
        : keywords(testing::MakeProduct(dir, "QUICK")),
          noKeywords(testing::MakeProduct(dir, "ONE")) {
        model.speedDials[1] = SpeedDialEntry{"S001", "Office", "", "03-1111"};
        model.speedDials[3] = SpeedDialEntry{"S003", "Home", "", "03-3333"};
    }

    // Opens the dialog (shown, not modal) for an add with an empty buffer.
    void OpenAdd(const TProductInfo& product) {
        form.Open(EditOperationKind::Add, SpeedDialEntry{}, model, product, "Add");
        form.show();
    }

    void Fill(const QString& name, const QString& fax, const QString& keyword = {}) {
        form.EDT_Name->setText(name);
        form.EDT_Tel->setText(fax);
        form.EDT_Keyword->setText(keyword);
    }

    bool Accepted() const { return !form.isVisible() && form.result() == QDialog::Accepted; }

    testing::TempDir dir;
    std::unique_ptr<TProductInfo> keywords;
    std::unique_ptr<TProductInfo> noKeywords;
    DialModel model;
    std::shared_ptr<testing::ScriptedPrompt> prompt = std::make_shared<testing::ScriptedPrompt>();
    TEditForm form{*prompt};
};

// An add offers the free numbers up to the model's limit, filled from a template without its
// groups; a name equal to another entry's is asked about, one equal only after trimming, or the
// entry's own, is not; an edit offers only its own number.
TEST_F(EditFormTest, AddOffersTheFreeNumbersAndAsksAboutADuplicateName) {
    prompt->Reset({PromptAnswer::No});
    SpeedDialEntry templ = model.speedDials[1];
    templ.groupMask = "S0000000000000000000";
    form.Open(EditOperationKind::Add, templ, model, *keywords, "Add");
    form.show();
    ASSERT_EQ(form.CB_Num->count(), 198);
    EXPECT_EQ(form.CB_Num->itemText(1), "004");
    EXPECT_EQ(form.CB_Num->itemText(197), "200");
    EXPECT_EQ(form.CB_Num->currentText(), "002");
    EXPECT_EQ(form.EDT_Name->text(), "Office");  // the template's fields
    form.BTN_OK->click();
    EXPECT_EQ(prompt->Shown(), std::vector<std::string>{"Duplicate Destination Name: Identical "
                                                        "address name exists. Register anyway?"});
    EXPECT_EQ(prompt->Last().buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompt->Last().defaultAnswer, PromptAnswer::No);
    EXPECT_TRUE(form.isVisible());
    prompt->Queue(PromptAnswer::Yes);
    form.BTN_OK->click();
    EXPECT_TRUE(Accepted());
    EXPECT_EQ(form.Buffer().key, "S002");
    EXPECT_EQ(form.Buffer().name, "Office");
    EXPECT_EQ(form.Buffer().groupMask, std::string(20, '0'));

    prompt->Reset();
    OpenAdd(*keywords);
    Fill(" Office ", " 03-2222 ", "kw");
    form.BTN_OK->click();
    ASSERT_TRUE(Accepted());
    // Stored as typed, untrimmed.
    EXPECT_EQ(form.Buffer().name, " Office ");
    EXPECT_EQ(form.Buffer().faxNumber, " 03-2222 ");
    EXPECT_EQ(form.Buffer().keyword, "kw");
    form.Open(EditOperationKind::Edit, model.speedDials[1], model, *keywords, "Edit");
    form.show();
    ASSERT_EQ(form.CB_Num->count(), 1);
    EXPECT_EQ(form.CB_Num->currentText(), "001");
    EXPECT_TRUE(form.EDT_Keyword->isEnabled());
    form.BTN_OK->click();
    EXPECT_TRUE(Accepted());
    EXPECT_EQ(form.Buffer().key, "S001");
    EXPECT_TRUE(prompt->Requests().empty());

    form.Open(EditOperationKind::Edit, model.speedDials[3], model, *noKeywords, "Edit");
    EXPECT_FALSE(form.EDT_Keyword->isEnabled());
}

TEST_F(EditFormTest, ChecksRunInOrderAndTheFirstFailureIsShown) {
    struct Case {
        QString name, fax, keyword;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"", "", "", "Not Enter Data."},  // the name is checked before the number
        {QString(17, 'N'), "03-1", "", "Speed dial name is too long."},
        {"Name", "", "", "Not Enter Data."},
        {"Name", QString(51, '1'), "", "Speed dial fax number is too long."},
        {"Name", "03=1", "", "Speed dial number contains illegal characters."},
        {"Name", "03-1", "ABCDEFGHI", "Speed dial keyword is too long."},
        {"Name", "03-1", QString::fromUtf8("東"),
         "Speed dial keyword contains illegal characters."},
    };
    for (const Case& c : cases) {
        prompt->Reset();
        OpenAdd(*keywords);
        Fill(c.name, c.fax, c.keyword);
        form.BTN_OK->click();
        EXPECT_EQ(prompt->Shown(), std::vector<std::string>{"Input Error: " + c.message});
        EXPECT_EQ(prompt->Last().icon, PromptIcon::Stop) << c.message;
        EXPECT_TRUE(form.isVisible()) << c.message;
    }

    // A product without keywords never checks one.
    prompt->Reset();
    OpenAdd(*noKeywords);
    Fill("Name", "03-1", "ABCDEFGHIJKLMNOPQ");
    form.BTN_OK->click();
    EXPECT_TRUE(Accepted());
    EXPECT_TRUE(prompt->Requests().empty());
    EXPECT_EQ(form.Buffer().keyword, "");
}

// Typed name characters go into the keyword: over a selected name the copy starts afresh, and it
// stops at the keyword's eight characters so a long name alone still passes OK.
TEST_F(EditFormTest, TypedNameIsCopiedIntoTheKeywordWithinItsLimit) {
    struct Case {
        SpeedDialEntry opened;
        bool selectAll;
        QString typed, name, keyword;
    };
    const SpeedDialEntry office{"S001", "Office", "OFF", "03-1111"};
    const std::vector<Case> cases = {
        {{}, false, "Abc", "Abc", "Abc"},
        {office, true, "Ok", "Ok", "Ok"},  // the new name shares the old one's first letter
        {office, false, "X", "OfficeX", "OFFX"},
        {{}, false, "ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOP", "ABCDEFGH"},
    };
    for (const Case& c : cases) {
        prompt->Reset();
        form.Open(EditOperationKind::Add, c.opened, model, *keywords, "Add");
        form.show();
        form.EDT_Name->setFocus();
        if (c.selectAll) {
            form.EDT_Name->selectAll();
        } else {
            form.EDT_Name->end(false);
        }
        QTest::keyClicks(form.EDT_Name, c.typed);
        EXPECT_EQ(form.EDT_Name->text(), c.name);
        EXPECT_EQ(form.EDT_Keyword->text(), c.keyword) << c.typed.toStdString();
    }
    // Of the last name's 20 characters the name took 16 and the keyword 8: OK refuses neither.
    form.EDT_Tel->setText("03-2222");
    form.BTN_OK->click();
    EXPECT_TRUE(prompt->Requests().empty());
    ASSERT_TRUE(Accepted());
    EXPECT_EQ(form.Buffer().keyword, "ABCDEFGH");
}

// Each field takes what its check lets through, counted as the check counts, and shows it.
TEST_F(EditFormTest, FieldsStopAtTheirChecksLimitAndShowWhatIsUsed) {
    OpenAdd(*keywords);
    struct Case {
        QLineEdit* edit;
        QLabel* used;
        QString typed, kept, hint;
    };
    const QString wide(17, QChar(0x6771));  // full-width: one UTF-16 unit each, as narrow ones
    const Case cases[] = {
        {form.EDT_Name, form.LBL_Name_Used, wide, wide.left(16), "16 / 16"},
        {form.EDT_Keyword, form.LBL_Keyword_Used, "KEYWORD89", "KEYWORD8", "8 / 8"},
        {form.EDT_Tel, form.LBL_Tel_Used, QString(51, '5'), QString(50, '5'), "50 / 50"},
    };
    for (const Case& c : cases) {
        c.edit->clear();
        for (const QChar typed : c.typed) {  // as a keyboard or input method sends it
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(typed));
            QApplication::sendEvent(c.edit, &key);
        }
        EXPECT_EQ(c.edit->text(), c.kept);
        EXPECT_EQ(c.used->text(), c.hint);
    }

    // A paste is cut where the field is full, at the cursor.
    QApplication::clipboard()->setText("0123456789ABCDEFGHIJ");
    form.EDT_Name->setText("Ab");
    form.EDT_Name->setCursorPosition(1);
    QTest::keySequence(form.EDT_Name, QKeySequence::Paste);
    EXPECT_EQ(form.EDT_Name->text(), "A0123456789ABCDb");

    // A text the program puts in stays as it is for OK to report; it can only get shorter.
    form.EDT_Name->setText(QString(17, 'n'));
    EXPECT_EQ(form.LBL_Name_Used->text(), "17 / 16");
    QTest::keyClicks(form.EDT_Name, "x");
    EXPECT_EQ(form.EDT_Name->text(), QString(17, 'n'));
    form.EDT_Name->end(false);
    QTest::keyClick(form.EDT_Name, Qt::Key_Backspace);
    EXPECT_EQ(form.EDT_Name->text(), QString(16, 'n'));
}

// Escape and the close box run Cancel, which asks only after a change.
TEST_F(EditFormTest, CancelAsksOnlyAfterAChange) {
    prompt->Reset({PromptAnswer::No, PromptAnswer::Yes});
    form.Open(EditOperationKind::Edit, model.speedDials[1], model, *keywords, "Edit");
    form.show();
    EXPECT_TRUE(form.BTN_OK->isDefault());  // Enter is OK
    QWidget* focus = form.focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &form, Qt::Key_Escape);
    EXPECT_TRUE(prompt->Requests().empty());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());

    form.Open(EditOperationKind::Edit, model.speedDials[1], model, *keywords, "Edit");
    form.show();
    QTest::keyClicks(form.EDT_Tel, "9");
    form.BTN_Cancel->click();
    EXPECT_EQ(prompt->Last().defaultAnswer, PromptAnswer::No);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.EDT_Tel->text(), "03-11119");
    form.close();  // the close box asks the same
    EXPECT_EQ(prompt->Shown(),
              std::vector<std::string>(2, "Confirm Update: Continue without updating user data?"));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.Buffer().faxNumber, "03-1111");
}

}  // namespace
}  // namespace dialvane
