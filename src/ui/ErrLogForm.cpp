#include "ui/ErrLogForm.h"

#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include "support/Prompt.h"
#include "ui/CaptionHelpers.h"
#include "ui/TextEditorLauncher.h"

namespace dialvane {

TErrLogForm::TErrLogForm(IPrompt& prompt, QWidget* mainWindow)
    : QDialog(mainWindow), prompt_(prompt), mainWindow_(mainWindow), openEditor_(OpenInTextEditor) {
    setObjectName(QStringLiteral("ErrLogForm"));
    setModal(true);
    setSizeGripEnabled(true);
    if (mainWindow != nullptr) {
        setFont(mainWindow->font());
    }

    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    auto* file = MainMenu->addMenu(QString());
    file->setObjectName(QStringLiteral("MN_File"));
    MN_File = file->menuAction();
    MN_SaveAs = file->addAction(QString());
    MN_SaveAs->setObjectName(QStringLiteral("MN_SaveAs"));
    MN_Exit = file->addAction(QString());
    MN_Exit->setObjectName(QStringLiteral("MN_Exit"));

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(MainMenu);
    layout->setContentsMargins(10, 5, 10, 0);
    layout->setSpacing(5);
    RE_ErrLog = new QTextEdit(this);
    RE_ErrLog->setObjectName(QStringLiteral("RE_ErrLog"));
    RE_ErrLog->setReadOnly(true);
    RE_ErrLog->setAcceptRichText(false);
    RE_ErrLog->setLineWrapMode(QTextEdit::NoWrap);
    RE_ErrLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RE_ErrLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RE_ErrLog->setFont(font());
    layout->addWidget(RE_ErrLog, 1);

    PNL_BTN_Area = new QWidget(this);
    PNL_BTN_Area->setObjectName(QStringLiteral("PNL_BTN_Area"));
    PNL_BTN_Area->setMinimumHeight(29);
    // Offered for a user file only (ShowFileErrors), before OK in the row.
    BTN_Open_Editor = new QPushButton(PNL_BTN_Area);
    BTN_Open_Editor->setObjectName(QStringLiteral("BTN_Open_Editor"));
    BTN_Check_Again = new QPushButton(PNL_BTN_Area);
    BTN_Check_Again->setObjectName(QStringLiteral("BTN_Check_Again"));
    for (QPushButton* button : {BTN_Open_Editor, BTN_Check_Again}) {
        button->setAutoDefault(false);
        button->hide();
    }
    BTN_OK = new QPushButton(PNL_BTN_Area);
    BTN_OK->setObjectName(QStringLiteral("BTN_OK"));
    BTN_OK->setDefault(true);
    layout->addWidget(PNL_BTN_Area);

    ApplyCaptions(this);
    ArrangeButtons(PNL_BTN_Area, kIndividualRow);
    PNL_BTN_Area->setFixedHeight(std::max(29, PNL_BTN_Area->minimumHeight()));

    // Never so small that fewer than three lines of the list show.
    const int lineHeight = QFontMetrics(RE_ErrLog->font()).height() + 3;
    const int minimumHeight = MainMenu->sizeHint().height() + PNL_BTN_Area->height() + 5 +
                              lineHeight * 3 + 10 + 2 * RE_ErrLog->frameWidth();
    setMinimumSize(220, minimumHeight);
    resize(516, std::max(226, minimumHeight));

    connect(BTN_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(MN_Exit, &QAction::triggered, this, &QDialog::accept);
    connect(MN_SaveAs, &QAction::triggered, this, &TErrLogForm::SaveAsClick);
    connect(BTN_Open_Editor, &QPushButton::clicked, this, &TErrLogForm::OpenEditorClick);
    connect(BTN_Check_Again, &QPushButton::clicked, this, &TErrLogForm::CheckAgainClick);
}

bool TErrLogForm::ShowFileErrors(const std::string& path, const std::vector<std::string>& lines,
                                 CheckAgainFunction checkAgain) {
    filePath_ = path;
    checkAgain_ = std::move(checkAgain);
    fileReadsNow_ = false;
    ShowFileActions(true);
    ShowErrors(lines);
    ShowFileActions(false);
    checkAgain_ = nullptr;
    return fileReadsNow_;
}

void TErrLogForm::SetEditorOpener(std::function<bool(const std::string&)> opener) {
    openEditor_ = opener ? std::move(opener) : OpenInTextEditor;
}

void TErrLogForm::ShowFileActions(bool shown) {
    BTN_Open_Editor->setText(Q(Msg::ErrLogFormOpenEditor));
    BTN_Check_Again->setText(Q(Msg::ErrLogFormCheckAgain));
    BTN_Open_Editor->setVisible(shown);
    BTN_Check_Again->setVisible(shown);
    ArrangeButtons(PNL_BTN_Area, kIndividualRow);
}

void TErrLogForm::OpenEditorClick() {
    if (!openEditor_(filePath_)) {
        PromptRequest box;
        box.text = Text(Msg::ErrLogNoTextEditor, filePath_);
        box.title = Text(Msg::FileErrorCaption);
        box.buttons = PromptButtons::Ok;
        box.icon = PromptIcon::Warning;
        box.defaultAnswer = PromptAnswer::Ok;
        prompt_.Ask(box);
    }
}

void TErrLogForm::CheckAgainClick() {
    if (!checkAgain_) {
        return;
    }
    const std::vector<std::string> lines = checkAgain_();
    if (lines.empty()) {
        fileReadsNow_ = true;
        accept();
        return;
    }
    SetErrors(lines);
    RE_ErrLog->moveCursor(QTextCursor::Start);
}

void TErrLogForm::ShowErrors(const std::vector<std::string>& lines) {
    SetErrors(lines);
    if (mainWindow_ != nullptr) {
        move(mainWindow_->geometry().center() - rect().center());
    }
    exec();
}

void TErrLogForm::SetErrors(const std::vector<std::string>& lines) {
    QStringList text;
    for (const std::string& line : lines) {
        text << Q(line);
    }
    RE_ErrLog->setPlainText(text.join(QLatin1Char('\n')));
}

std::vector<std::string> TErrLogForm::Lines() const {
    std::vector<std::string> lines;
    if (RE_ErrLog->document()->isEmpty()) {
        return lines;
    }
    for (QTextBlock block = RE_ErrLog->document()->begin(); block.isValid(); block = block.next()) {
        lines.push_back(S(block.text()));
    }
    return lines;
}

bool TErrLogForm::SaveToFile(const std::string& path) {
    return SaveLinesOrTell(prompt_, path, Lines());
}

void TErrLogForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    RE_ErrLog->setFont(font());
    RE_ErrLog->moveCursor(QTextCursor::Start);
    RE_ErrLog->setFocus();
}

void TErrLogForm::SaveAsClick() {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QtFileFilter(Text(Msg::TextSaveFilter)));
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        SaveToFile(S(dialog.selectedFiles().front()));
    }
}

}  // namespace dialvane
