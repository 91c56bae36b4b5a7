#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenuBar;
class QPushButton;
class QTextEdit;

namespace dialvane {

class IPrompt;

// Lists the problems found in a dial list file and can save the list as text.
class TErrLogForm : public QDialog {
    Q_OBJECT
  public:
    explicit TErrLogForm(IPrompt& prompt, QWidget* mainWindow = nullptr);

    // Reads a user file again: its error lines, none when it now reads without errors.
    using CheckAgainFunction = std::function<std::vector<std::string>()>;

    // Puts the lines into the view and shows the dialog modally.
    void ShowErrors(const std::vector<std::string>& lines);
    // The errors of the user file `path`, with "Open in Text Editor" and "Check Again", so the
    // user can correct the file and go on. True when a check found no more errors (the dialog
    // has then closed); false when the user closed it with errors left.
    bool ShowFileErrors(const std::string& path, const std::vector<std::string>& lines,
                        CheckAgainFunction checkAgain);
    // What opens a file in the text editor (false: it could not); the default asks the desktop
    // for its plain-text application.
    void SetEditorOpener(std::function<bool(const std::string&)> opener);
    // The view alone (ShowErrors without showing).
    void SetErrors(const std::vector<std::string>& lines);
    std::vector<std::string> Lines() const;
    // Writes the view to path; an unwritable file is reported to the user. False then.
    bool SaveToFile(const std::string& path);

    // Components.
    QWidget* PNL_BTN_Area = nullptr;
    QPushButton* BTN_OK = nullptr;
    QPushButton* BTN_Open_Editor = nullptr;
    QPushButton* BTN_Check_Again = nullptr;
    QTextEdit* RE_ErrLog = nullptr;
    QMenuBar* MainMenu = nullptr;
    QAction* MN_File = nullptr;
    QAction* MN_SaveAs = nullptr;
    QAction* MN_Exit = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void SaveAsClick();
    void OpenEditorClick();
    void CheckAgainClick();
    void ShowFileActions(bool shown);

    IPrompt& prompt_;
    QWidget* mainWindow_;
    std::function<bool(const std::string&)> openEditor_;
    std::string filePath_;
    CheckAgainFunction checkAgain_;
    bool fileReadsNow_ = false;
};

}  // namespace dialvane
