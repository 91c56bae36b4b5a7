// The main window's import from an address book server: the login, the fetch on a worker
// thread while the window shows it is busy, and the login kept for the next import.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <atomic>
#include <thread>

#include "contacts/CardDavClient.h"
#include "contacts/PasswordSource.h"
#include "contacts/VCardReader.h"
#include "support/DiagnosticLog.h"
#include "support/Environment.h"
#include "support/FileUtil.h"
#include "support/Messages.h"
#include "ui/ImportSourceForm.h"
#include "ui/MainForm.h"
#include "ui/MainFormQuestions.h"

namespace dialvane {
namespace {

// Up while the server is read. Stop (or Escape) asks the fetch to end, which it does within
// about a second; until then neither takes this away and lets the window be used again.
class FetchBusyDialog : public QDialog {
  public:
    FetchBusyDialog(const std::string& text, std::atomic<bool>& stop, QWidget* parent)
        : QDialog(parent), stop_(stop) {
        setObjectName("ContactsFetchBusy");
        setWindowTitle(QString::fromStdString(Text(Msg::ImportPreviewCaption)));
        setWindowModality(Qt::WindowModal);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QString::fromStdString(text), this));
        auto* bar = new QProgressBar(this);
        bar->setRange(0, 0);
        layout->addWidget(bar);
        auto* buttons = new QDialogButtonBox(this);
        stopButton_ = buttons->addButton(QString::fromStdString(Text(Msg::ProgFormStop)),
                                         QDialogButtonBox::RejectRole);
        stopButton_->setObjectName("BTN_Abort");
        layout->addWidget(buttons);
        connect(stopButton_, &QPushButton::clicked, this, [this] { reject(); });
    }
    void reject() override {
        stop_ = true;
        stopButton_->setEnabled(false);
    }

  protected:
    void closeEvent(QCloseEvent* event) override {
        reject();
        event->ignore();
    }

  private:
    std::atomic<bool>& stop_;
    QPushButton* stopButton_ = nullptr;
};

void LogImport(LogCategory kind, std::string_view format, const std::string& argument) {
    LogWriteF(LogCategory::LogProc_TCP, kind, 'L', format, argument);
}

}  // namespace

std::optional<ContactsSourceChoice> TMainForm::AskContactsSource() {
    ContactsSourceChoice offered;
    offered.url = env_.user.cardDavUrl;
    offered.user = env_.user.cardDavUser;
    offered.server = !offered.url.empty();
    const std::string& passwordFile = env_.paths.cardDavPasswordFile;
    if (!env_.paths.dataFolder.empty() && FileExists(passwordFile)) {
        offered.remember = true;
        std::string error;
        if (std::optional<std::string> kept = ReadPasswordFile(passwordFile, &error)) {
            offered.password = std::move(*kept);
        } else {
            // Opened to others since it was kept: not used, so the user is simply asked again.
            LogImport(LogCategory::LogFunc_Error, "CardDAV %s", error);
        }
    }
    if (hooks_.askContactsSource) {
        return hooks_.askContactsSource(offered);
    }
    if (importSource_ == nullptr) {
        importSource_ = new TImportSourceForm(this);
    }
    if (!importSource_->Execute(offered)) {
        return std::nullopt;
    }
    return offered;
}

bool TMainForm::FetchServerContacts(const ContactsSourceChoice& choice,
                                    std::vector<Contact>& contacts) {
    const auto fail = [this](const std::string& why) {
        Tell(*prompt_, Text(Msg::CardDavImportFailed, why), Msg::ImportPreviewCaption,
             PromptIcon::Stop);
        return false;
    };
    // An unticked "Remember" forgets at once, whatever becomes of this import.
    if (!choice.remember && !RemovePasswordFile(env_.paths.cardDavPasswordFile)) {
        LogImport(LogCategory::LogFunc_Error, "CardDAV password file %s not removed",
                  env_.paths.cardDavPasswordFile);
    }
    const CardDavSource source{
        choice.url, choice.user, choice.user.empty() ? "" : choice.password, {}};
    // Decided before anything is kept or sent: a refused address may hold credentials.
    if (const std::string refusal = CardDavRefusal(source); !refusal.empty()) {
        return fail(refusal);
    }
    KeepServerLogin(choice);

    CardDavFetch fetch;
    std::atomic<bool> stop = false;
    {
        FetchBusyDialog busy(Text(Msg::CardDavFetching, UrlForLog(source.url)), stop, this);
        contactsBusy_ = &busy;
        busy.show();
        bool fetched = false;
        // The worker hands its result over on the window's thread, which alone touches widgets
        // and reads `fetch`; until then the window goes on painting and answering.
        std::thread worker([source, &stop, &busy, &fetch, &fetched] {
            CardDavLimits limits;
            limits.stop = &stop;
            CardDavFetch result = FetchCardDav(source, limits);
            QMetaObject::invokeMethod(
                &busy,
                [&fetch, &fetched, result = std::move(result)]() mutable {
                    fetch = std::move(result);
                    fetched = true;
                },
                Qt::QueuedConnection);
        });
        while (!fetched) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        worker.join();
        contactsBusy_ = nullptr;
    }
    if (stop) {
        return false;  // the user's own choice: nothing to tell
    }
    if (!fetch.ok) {
        return fail(fetch.error);
    }
    KeepServerPassword(choice);
    for (const std::string& vcard : fetch.vcards) {
        for (Contact& contact : ReadVCardText(vcard)) {
            contacts.push_back(std::move(contact));
        }
    }
    return true;
}

void TMainForm::KeepServerLogin(const ContactsSourceChoice& choice) {
    if (env_.user.cardDavUrl == choice.url && env_.user.cardDavUser == choice.user) {
        return;
    }
    env_.user.cardDavUrl = choice.url;
    env_.user.cardDavUser = choice.user;
    SaveUserSettings(env_);
}

// Kept only once the server took it, so a mistyped password is not offered again.
void TMainForm::KeepServerPassword(const ContactsSourceChoice& choice) {
    if (!choice.remember || choice.user.empty() || env_.paths.dataFolder.empty()) {
        return;
    }
    std::string error;
    if (!WritePasswordFile(env_.paths.cardDavPasswordFile, choice.password, &error)) {
        Tell(*prompt_, error, Msg::ImportPreviewCaption, PromptIcon::Warning);
    }
}

}  // namespace dialvane
