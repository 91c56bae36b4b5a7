// The editor's one-touch or quick-dial page and its sender page.
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "data/ProductInfo.h"
#include "data/TextChecks.h"
#include "support/Environment.h"
#include "support/Messages.h"
#include "support/Prompt.h"
#include "support/TextUtil.h"
#include "ui/BindingText.h"
#include "ui/CaptionHelpers.h"
#include "ui/InputCheck.h"
#include "ui/MainForm.h"
#include "ui/OneTuchInpForm.h"
#include "ui/QuickDialGroupBox.h"
#include "ui/QuickDialTab.h"
#include "ui/ScreenFit.h"

namespace dialvane {
namespace {

constexpr int kSenderHistorySize = 5;
constexpr int kFirstOneTouchSetTag = 32, kFirstOneTouchClearTag = 35;

// A long group text does not fit the field: it starts at its key and the tip shows it whole.
void ShowBinding(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    edit->setCursorPosition(0);
    edit->setToolTip(text);
}

}  // namespace

QWidget* TMainForm::BuildOneTouchPage() {
    PNL_OneTuch = new QWidget(PNL_Edit);
    PNL_OneTuch->setObjectName("PNL_OneTuch");
    auto* layout = new QVBoxLayout(PNL_OneTuch);
    layout->setContentsMargins(10, 5, 10, 5);
    GB_One = new QGroupBox(PNL_OneTuch);
    GB_One->setObjectName("GB_One");
    auto* rows = new QVBoxLayout(GB_One);
    rows->setContentsMargins(0, 2, 10, 2);
    const char* letters = "ABC";
    // The rows are buttonSlots of the quick-dial kind, named after the one-touch buttons.
    for (int i = 0; i < 3; ++i) {
        const std::string letter(1, letters[i]);
        auto* row = new TPanelQuick(GB_One);
        row->setObjectName(Q("PNL_BTN_One" + letter));
        LBL_One[i] = row->LabelQuickNumber;
        LBL_One[i]->setObjectName(Q("LBL_One" + letter));
        LBL_One[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        EDT_One[i] = row->EditQuick;
        EDT_One[i]->setObjectName(Q("EDT_One" + letter));
        BTN_One[i] = row->ButtonEdit;
        BTN_One[i]->setObjectName(Q("BTN_One" + letter));
        BTN_One[i]->setProperty("Tag", kFirstOneTouchSetTag + i);
        BTN_One_Del[i] = row->ButtonClear;
        BTN_One_Del[i]->setObjectName(Q("BTN_One" + letter + "_Del"));
        BTN_One_Del[i]->setProperty("Tag", kFirstOneTouchClearTag + i);
        for (QPushButton* button : {BTN_One[i], BTN_One_Del[i]}) {
            connect(button, &QPushButton::clicked, this, [this, button] {
                button->setFocus();
                activeControl_ = button;
                BtnClick();
            });
        }
        rows->addWidget(row);
    }
    layout->addWidget(GB_One);
    layout->addStretch(1);
    return PNL_OneTuch;
}

std::vector<TMainForm::ButtonSlot> TMainForm::ButtonSlots() const {
    std::vector<ButtonSlot> buttonSlots;
    if (product_->OneTouch()) {
        for (int i = 0; i < 3; ++i) {
            buttonSlots.push_back({EDT_One[i], BTN_One[i], BTN_One_Del[i], LBL_One[i]->text()});
        }
    } else {
        for (int i = 0; i < TPanelQuickDialTab::kSlots; ++i) {
            buttonSlots.push_back({PNL_Quick->EditQuick[i], PNL_Quick->ButtonEdit[i],
                                   PNL_Quick->ButtonClear[i],
                                   PNL_Quick->LabelQuickNumber[i]->text()});
        }
    }
    return buttonSlots;
}

void TMainForm::OneTouch_Page_Set() {
    Button_Page_Set();
    if (BTN_One[0]->isEnabled() && BTN_One[0]->isVisible()) {
        BTN_One[0]->setFocus();
    } else {
        BTN_Cancel->setFocus();
    }
}

void TMainForm::Quick_Page_Set() {
    Button_Page_Set();
}

void TMainForm::Button_Page_Set() {
    const std::vector<ButtonSlot> buttonSlots = ButtonSlots();
    for (size_t i = 0; i < buttonSlots.size(); ++i) {
        ShowBinding(buttonSlots[i].edit, Q(BindingDisplayText(model_, model_.bindings[i + 1])));
    }
    Button_State_Set();
}

void TMainForm::OneTouch_Button_Set() {
    Button_State_Set();
}

void TMainForm::Quick_Button_Set() {
    Button_State_Set();
}

void TMainForm::Button_State_Set() {
    // A slot can be cleared whenever it shows something, a binding to a target that is gone
    // included; it can be set while there is anything to bind it to.
    const bool anyTarget = !SelectionRows(model_).empty();
    for (const ButtonSlot& slot : ButtonSlots()) {
        slot.clear->setEnabled(!slot.edit->text().isEmpty());
        slot.set->setEnabled(anyTarget);
    }
    UpdateDocumentTitle();
}

void TMainForm::BindingCommand(int tag) {
    Undoable(UndoNameOf(tag), [this, tag] { RunBindingCommand(tag); });
}

void TMainForm::RunBindingCommand(int tag) {
    if (tag >= 32 && tag <= 34) {
        Binding_Set(tag - 32);
    } else if (tag >= 35 && tag <= 37) {
        Binding_Clear(tag - 35);
    } else if (tag >= TPanelQuickDialTab::kFirstEditTag &&
               tag < TPanelQuickDialTab::kFirstEditTag + TPanelQuickDialTab::kSlots) {
        Binding_Set(tag - TPanelQuickDialTab::kFirstEditTag);
    } else if (tag >= TPanelQuickDialTab::kFirstClearTag &&
               tag < TPanelQuickDialTab::kFirstClearTag + TPanelQuickDialTab::kSlots) {
        Binding_Clear(tag - TPanelQuickDialTab::kFirstClearTag);
    }
}

void TMainForm::PlaceSelectForm() {
    // Once: at the window's left edge, as high as its client area, as wide as its columns, and
    // never beyond the screen.
    if (selectFormPlaced_) {
        return;
    }
    selectFormPlaced_ = true;
    const QPoint clientTop = mapToGlobal(QPoint(0, 0));
    const QRect wanted(geometry().left() + 4, clientTop.y(), oneTuchInpForm_->ColumnsWidth() + 68,
                       height());
    // The dialog gets the window's title bar and borders: with them it stays above the panels.
    const QMargins frame(geometry().left() - frameGeometry().left(),
                         geometry().top() - frameGeometry().top(),
                         frameGeometry().right() - geometry().right(),
                         frameGeometry().bottom() - geometry().bottom());
    const QRect available = screen() != nullptr ? screen()->availableGeometry() : wanted;
    const QRect area = FitClientRect(wanted, oneTuchInpForm_->minimumSizeHint(), frame, available);
    oneTuchInpForm_->resize(area.size());
    oneTuchInpForm_->move(area.topLeft() - QPoint(frame.left(), frame.top()));
}

void TMainForm::Binding_Set(int slot) {
    const std::vector<ButtonSlot> buttonSlots = ButtonSlots();
    if (slot < 0 || slot >= static_cast<int>(buttonSlots.size())) {
        return;
    }
    const ButtonSlot& target = buttonSlots[slot];
    const QString name = product_->OneTouch()
                             ? target.name
                             : Q(Text(Msg::SelectQuickDialName, Trim(S(target.name))));
    std::string selection = S(target.edit->text());
    PlaceSelectForm();
    if (oneTuchInpForm_->Execute(name, model_, selection)) {
        ShowBinding(target.edit, Q(selection));
    }
    model_.bindings[slot + 1] = BindingFromDisplay(S(target.edit->text()));
    Button_State_Set();
}

void TMainForm::Binding_Clear(int slot) {
    const std::vector<ButtonSlot> buttonSlots = ButtonSlots();
    if (slot < 0 || slot >= static_cast<int>(buttonSlots.size())) {
        return;
    }
    const ButtonSlot& target = buttonSlots[slot];
    std::string question = Text(Msg::BindingClearQuestion, S(target.name));
    if (!product_->OneTouch()) {
        question = Text(Msg::MainQuickDialName) + question;
    }
    PromptRequest request;
    request.text = question;
    request.title = Text(Msg::ConfirmCaption);
    request.buttons = PromptButtons::YesNo;
    request.icon = PromptIcon::Warning;
    request.defaultAnswer = PromptAnswer::No;
    if (prompt_->Ask(request) == PromptAnswer::Yes) {
        target.edit->clear();
        model_.bindings[slot + 1].clear();
    }
    Button_State_Set();
}

void TMainForm::Sender_Page_Set() {
    CB_Sender->setEditable(true);
    const QString name = Q(model_.senderName);
    ComboHistory(CB_Sender, env_.user.senderHistory, kSenderHistorySize, 0);
    CB_Sender->setEditText(name);
    ComboHistory(CB_Sender, env_.user.senderHistory, kSenderHistorySize, 1);
    CB_Sender->setEditText(name);
}

bool TMainForm::Sender_Check() {
    // A name of blanks only is no name: it is taken as empty rather than refused.
    const TextCheckResult result =
        CheckNameText(S(CB_Sender->currentText()), kSenderMaxBytes, product_->Rules());
    if (!AcceptCheck(*prompt_, result.code,
                     {std::nullopt, Msg::StrictSenderNameTooLong, Msg::StrictSenderNameIllegal},
                     CB_Sender)) {
        return false;
    }
    if (result.code == kCheckOk) {
        const QString typed = CB_Sender->currentText();
        ComboHistory(CB_Sender, env_.user.senderHistory, kSenderHistorySize, 1);
        CB_Sender->setEditText(typed);
    }
    Undoable(Text(Msg::UndoSenderName), [&] { model_.senderName = result.trimmed; });
    return true;
}

}  // namespace dialvane
