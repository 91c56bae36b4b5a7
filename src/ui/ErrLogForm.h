#pragma once

#include <QDialog>
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

    // Puts the lines into the view and shows the dialog modally.
    void ShowErrors(const std::vector<std::string>& lines);
    // The view alone (ShowErrors without showing).
    void SetErrors(const std::vector<std::string>& lines);
    std::vector<std::string> Lines() const;
    // Writes the view to path; an unwritable file is reported to the user. False then.
    bool SaveToFile(const std::string& path);

    // Components.
    QWidget* PNL_BTN_Area = nullptr;
    QPushButton* BTN_OK = nullptr;
    QTextEdit* RE_ErrLog = nullptr;
    QMenuBar* MainMenu = nullptr;
    QAction* MN_File = nullptr;
    QAction* MN_SaveAs = nullptr;
    QAction* MN_Exit = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void SaveAsClick();

    IPrompt& prompt_;
    QWidget* mainWindow_;
};

}  // namespace dialvane
