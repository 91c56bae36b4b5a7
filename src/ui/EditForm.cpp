#include "ui/EditForm.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/RecordKey.h"
#include "data/TextChecks.h"
#include "support/Prompt.h"
#include "ui/CaptionHelpers.h"
#include "ui/FieldLimit.h"
#include "ui/InputCheck.h"

namespace dialvane {

namespace {

bool IsMirroredCharacter(QChar c) {
    const char16_t unit = c.unicode();
    // Printable ASCII and half-width katakana: what a search keyword can hold.
    return (unit >= 0x20 && unit <= 0x7E) || (unit >= 0xFF61 && unit <= 0xFF9F);
}

// A keyword holds UTF-16 code units of two bytes each; every mirrored character is one unit.
constexpr qsizetype kKeywordMaxUnits = kKeywordMaxBytes / 2;

bool AskYesNo(IPrompt& prompt, Msg text, Msg title) {
    PromptRequest box;
    box.text = Text(text);
    box.title = Text(title);
    box.buttons = PromptButtons::YesNo;
    box.icon = PromptIcon::Warning;
    box.defaultAnswer = PromptAnswer::No;
    return prompt.Ask(box) == PromptAnswer::Yes;
}

}  // namespace

TEditForm::TEditForm(IPrompt& prompt, QWidget* parent) : QDialog(parent), prompt_(prompt) {
    setObjectName(QStringLiteral("EditForm"));
    setModal(true);
    if (parent != nullptr) {
        setFont(parent->font());
    }
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setContentsMargins(10, 10, 10, 0);
    grid->setHorizontalSpacing(10);
    auto makeLabel = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        return label;
    };
    auto makeEdit = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        return edit;
    };
    LBL_Num = makeLabel("LBL_Num");
    CB_Num = new QComboBox(this);
    CB_Num->setObjectName(QStringLiteral("CB_Num"));
    CB_Num->setEditable(false);
    CB_Num->setMinimumWidth(MeasureWidth(CB_Num));
    LBL_Name = makeLabel("LBL_Name");
    EDT_Name = makeEdit("EDT_Name");
    LBL_Keyword = makeLabel("LBL_Keyword");
    EDT_Keyword = makeEdit("EDT_Keyword");
    LBL_Keyword_Hint = makeLabel("LBL_Keyword_Hint");
    LBL_Keyword_Hint->setText(Q(Text(Msg::EditFormKeywordHint)));
    LBL_Tel = makeLabel("LBL_Tel");
    EDT_Tel = makeEdit("EDT_Tel");
    EDT_Name->setMinimumWidth(260);
    LBL_Name_Used = makeLabel("LBL_Name_Used");
    LBL_Keyword_Used = makeLabel("LBL_Keyword_Used");
    LBL_Tel_Used = makeLabel("LBL_Tel_Used");
    LimitField(EDT_Name, NameMeasure(kNameMaxBytes), LBL_Name_Used);
    LimitField(EDT_Keyword, KeywordMeasure(kKeywordMaxBytes), LBL_Keyword_Used);
    LimitField(EDT_Tel, FaxNumberMeasure(), LBL_Tel_Used);

    grid->addWidget(LBL_Num, 0, 0);
    grid->addWidget(CB_Num, 0, 1, Qt::AlignLeft);
    grid->addWidget(LBL_Name, 1, 0);
    grid->addWidget(EDT_Name, 1, 1, 1, 2);
    grid->addWidget(LBL_Keyword, 2, 0);
    grid->addWidget(EDT_Keyword, 2, 1);
    grid->addWidget(LBL_Keyword_Hint, 2, 2);
    grid->addWidget(LBL_Tel, 3, 0);
    grid->addWidget(EDT_Tel, 3, 1, 1, 2);
    grid->addWidget(LBL_Name_Used, 1, 3);
    grid->addWidget(LBL_Keyword_Used, 2, 3);
    grid->addWidget(LBL_Tel_Used, 3, 3);
    grid->setColumnStretch(1, 1);
    outer->addLayout(grid);
    outer->addStretch(1);

    PNL_BTN_Area = new QWidget(this);
    PNL_BTN_Area->setObjectName(QStringLiteral("PNL_BTN_Area"));
    BTN_Inport = new QPushButton(PNL_BTN_Area);
    BTN_Inport->setObjectName(QStringLiteral("BTN_Inport"));
    BTN_Inport->hide();
    BTN_OK = new QPushButton(PNL_BTN_Area);
    BTN_OK->setObjectName(QStringLiteral("BTN_OK"));
    BTN_Cancel = new QPushButton(PNL_BTN_Area);
    BTN_Cancel->setObjectName(QStringLiteral("BTN_Cancel"));
    BTN_OK->setDefault(true);
    BTN_Cancel->setAutoDefault(false);
    outer->addWidget(PNL_BTN_Area);
    outer->setContentsMargins(0, 0, 0, 0);

    ApplyCaptions(this);
    ArrangeButtons(PNL_BTN_Area, kStandardRow);

    connect(BTN_OK, &QPushButton::clicked, this, &TEditForm::BtnOkClick);
    connect(BTN_Cancel, &QPushButton::clicked, this, &TEditForm::reject);
    connect(EDT_Name, &QLineEdit::textEdited, this, &TEditForm::NameEdited);
    EDT_Name->installEventFilter(this);
}

bool TEditForm::Execute(EditOperationKind mode, SpeedDialEntry& buffer, const DialModel& model,
                        const TProductInfo& product, const QString& opener) {
    Open(mode, buffer, model, product, opener);
    if (exec() != QDialog::Accepted) {
        return false;
    }
    buffer = buffer_;
    return true;
}

void TEditForm::Open(EditOperationKind mode, const SpeedDialEntry& buffer, const DialModel& model,
                     const TProductInfo& product, const QString& opener) {
    mode_ = mode;
    model_ = &model;
    buffer_ = buffer;
    keywords_ = !product.NoKeyword();
    rules_ = product.Rules();

    EDT_Name->setEnabled(true);
    EDT_Tel->setEnabled(true);
    EDT_Keyword->setEnabled(keywords_);
    LBL_Keyword->setEnabled(keywords_);
    LBL_Keyword_Hint->setEnabled(keywords_);
    LBL_Keyword_Used->setEnabled(keywords_);

    number_ = 0;
    char letter = 0;
    int number = 0;
    if (!buffer_.key.empty() && ParseRecordKey(buffer_.key, letter, number) && number > 0) {
        number_ = number;
    }

    CB_Num->clear();
    if (mode_ == EditOperationKind::Add) {
        const int limit = std::min(product.SpeedDial(), kMaxSpeedDials);
        for (int n = 1; n <= limit; ++n) {
            if (!model.SpeedDialUsed(n)) {
                CB_Num->addItem(Q(FormatRecordKey('s', n)));
            }
        }
        buffer_.groupMask.assign(kMaxGroups, '0');
    } else {
        CB_Num->addItem(Q(FormatRecordKey('s', number_)));
    }
    CB_Num->setCurrentIndex(CB_Num->count() > 0 ? 0 : -1);

    EDT_Name->setText(Q(buffer_.name));
    EDT_Tel->setText(Q(buffer_.faxNumber));
    EDT_Keyword->setText(keywords_ ? Q(buffer_.keyword) : QString());
    previousName_ = EDT_Name->text();

    ApplyCaptions(this);
    setWindowTitle(windowTitle() + QStringLiteral(" [") + opener + QStringLiteral("]"));
    EDT_Name->setFocus();
}

bool TEditForm::eventFilter(QObject* watched, QEvent* event) {
    // Where a key's text lands is known only before the key is handled: over the selection, or
    // at the cursor.
    if (watched == EDT_Name &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::InputMethod)) {
        editStart_ =
            EDT_Name->hasSelectedText() ? EDT_Name->selectionStart() : EDT_Name->cursorPosition();
        editReplacesAll_ =
            !EDT_Name->text().isEmpty() && EDT_Name->selectedText() == EDT_Name->text();
    }
    return QDialog::eventFilter(watched, event);
}

void TEditForm::NameEdited(const QString& text) {
    // Characters typed into the name also go into the keyword, as far as a keyword can hold
    // them; a keyword field the product does not use stays empty. The copy stops at the
    // keyword's limit: it must never make OK refuse a field the user did not type in.
    const qsizetype end = EDT_Name->cursorPosition();
    qsizetype start = editStart_;
    bool replacesAll = editReplacesAll_;
    if (start < 0) {  // pasted or dropped: the text before the cursor that is new
        start = 0;
        while (start < previousName_.size() && start < end && text[start] == previousName_[start]) {
            ++start;
        }
        replacesAll = start == 0 && text.size() <= end && !previousName_.isEmpty();
    }
    editStart_ = -1;
    editReplacesAll_ = false;
    if (EDT_Keyword->isEnabled()) {
        // Typing over the whole name starts a new name, as if it had been emptied first.
        if (text.isEmpty() || replacesAll) {
            EDT_Keyword->clear();
        }
        QString keyword = EDT_Keyword->text();
        for (qsizetype i = start; i < end && keyword.size() < kKeywordMaxUnits; ++i) {
            if (IsMirroredCharacter(text[i])) {
                keyword += text[i];
            }
        }
        if (keyword != EDT_Keyword->text()) {
            EDT_Keyword->setText(keyword);
        }
    }
    previousName_ = text;
}

void TEditForm::BtnOkClick() {
    const std::string name = S(EDT_Name->text());
    const std::string fax = S(EDT_Tel->text());
    const std::string keyword = S(EDT_Keyword->text());

    for (int n = 1; n <= kMaxSpeedDials; ++n) {
        if (!model_->SpeedDialUsed(n) || (mode_ == EditOperationKind::Edit && n == number_)) {
            continue;
        }
        if (model_->speedDials[n].name == name) {
            if (!AskYesNo(prompt_, Msg::EditDuplicateName, Msg::EditDuplicateCaption)) {
                EDT_Name->setFocus();
                return;
            }
            break;
        }
    }

    if (!AcceptCheck(prompt_, CheckNameText(name, kNameMaxBytes, rules_).code,
                     {Msg::EditNotEntered, Msg::EditNameTooLong, Msg::EditNameIllegal}, EDT_Name) ||
        !AcceptCheck(prompt_, CheckFaxNumber(fax),
                     {Msg::EditNotEntered, Msg::EditFaxTooLong, Msg::EditFaxIllegal}, EDT_Tel) ||
        (keywords_ && !AcceptCheck(prompt_, CheckKeywordText(keyword, kKeywordMaxBytes).code,
                                   {std::nullopt, Msg::EditKeywordTooLong, Msg::EditKeywordIllegal},
                                   EDT_Keyword))) {
        return;
    }
    if (CB_Num->currentIndex() < 0) {
        return;  // no free number: nothing can be stored
    }

    buffer_.key = "S" + S(CB_Num->currentText());
    buffer_.name = name;
    buffer_.faxNumber = fax;
    buffer_.keyword = keywords_ ? keyword : std::string();
    accept();
}

bool TEditForm::ConfirmCancel() {
    const bool changed = S(EDT_Name->text()) != buffer_.name ||
                         S(EDT_Tel->text()) != buffer_.faxNumber ||
                         (keywords_ && S(EDT_Keyword->text()) != buffer_.keyword);
    return !changed || AskYesNo(prompt_, Msg::EditCancelQuestion, Msg::EditConfirmUpdateCaption);
}

void TEditForm::reject() {
    if (ConfirmCancel()) {
        QDialog::reject();
    }
}

void TEditForm::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}

}  // namespace dialvane
