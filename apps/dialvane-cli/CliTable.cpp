// The commands and options of dialvane-cli. Adding an option is one row in kOptions (plus the
// member of CliOptions it fills); adding a command is one row in kCommands and its case in
// RunCli. The parser, the help pages, the man page and the bash completion all follow.
#include "CliTable.h"

#include <array>
#include <sstream>
#include <stdexcept>

#include "contacts/ContactText.h"
#include "contacts/ContactsCsvReader.h"
#include "data/CharConv.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

constexpr const char* kCheckExit =
    "0  no error\n"
    "1  errors found\n"
    "2  usage error, or FILE cannot be read";
constexpr const char* kExportExit =
    "0  written\n"
    "1  errors found\n"
    "2  usage error, or a file cannot be read or written";
constexpr const char* kTransferExit =
    "0    completed\n"
    "1    failed\n"
    "2    usage error, or a file cannot be read or written\n"
    "130  stopped by Ctrl-C (the fax is released first)";

constexpr const char* kImportExit =
    "0  written\n"
    "1  the address book does not fit the model (nothing written)\n"
    "2  usage error, a file cannot be read or written, or COUNTRY_CODE is needed";

constexpr const char* kSyncExit =
    "0    every MFP holds the address book's list (--dry-run: none would change)\n"
    "1    an MFP failed or would change (--dry-run), the server refused, or the\n"
    "     address book holds no fax number\n"
    "2    usage error, the address book cannot be read, or COUNTRY_CODE is needed\n"
    "130  stopped by Ctrl-C (the fax is released first)";

constexpr const char* kDiffExit =
    "0    no differences\n"
    "1    differences were printed\n"
    "2    error: FILE has errors or the MFP could not be read\n"
    "130  stopped by Ctrl-C";

constexpr const char* kRestoreExit =
    "0    restored, or --list printed\n"
    "1    failed\n"
    "2    usage error, no backup of this MFP, or BACKUP cannot be read\n"
    "130  stopped by Ctrl-C (the fax is released first)";

const std::array kCommands{
    CliCommand{"check", "FILE", "prints the error lines of a dial list file",
               "Prints every error line of FILE on standard output, one per line. "
               "FILE - reads standard input.",
               "", kCheckExit},
    CliCommand{"export", "FILE", "checks a dial list file and writes it in the downloaded form",
               "Checks FILE, passes every record through the strict checks used before sending "
               "to the MFP and writes the file given with --output in the form a download from "
               "the MFP has. Nothing is written on any error. FILE - reads standard input, "
               "--output - writes to standard output.",
               "output", kExportExit},
    CliCommand{"test", "", "checks the connection and prints the model name",
               "Connects to the MFP, asks for its model and prints \"Network Test OK. Model Name: "
               "NAME\" on standard output.",
               "host|usb", kTransferExit},
    CliCommand{"download", "", "reads the dial list from the MFP",
               "Reads the dial list from the MFP into the file given with --output (- for "
               "standard output). That the file can be written is checked before the MFP is "
               "contacted.",
               "host+hosts-file|usb output", kTransferExit},
    CliCommand{"upload", "FILE", "replaces the MFP's dial list with a file",
               "Replaces the MFP's dial list with FILE. Nothing is sent when FILE has an error. "
               "First the MFP's list is read and saved in the folder backups of the data folder "
               "(BACKUP=0 in [Backup] of the settings, or --no-backup, skips this); when that "
               "fails nothing is sent. An upload that fails after the MFP's list was cancelled "
               "names the backup and the command that sends it back. "
               "With --verify (or VERIFY=1 in the settings) the list is read back and compared. "
               "--dry-run prints what the upload would change, as diff does, and sends nothing. "
               "Before sending, the counts of what changes are printed; on a terminal, with one "
               "MFP, the program asks first (--yes does not ask). When the MFP already holds the "
               "list, nothing is sent and no backup is written. "
               "Ctrl-C stops the transfer; the fax is released before the program ends.",
               "host+hosts-file|usb", kTransferExit},
    CliCommand{"restore", "[BACKUP]", "sends a backup of the MFP's dial list back to it",
               "Sends BACKUP (a file in the folder backups of the data folder, or its path) to "
               "the MFP, or without BACKUP this MFP's newest backup, and reads it back to "
               "compare. The MFP's list is saved as a backup of its own first. --list prints "
               "this MFP's backups, newest first: file name, date and time, counts.",
               "host|usb", kRestoreExit},
    CliCommand{"diff", "FILE", "shows what an upload of a file would change",
               "Reads the MFP's dial list and prints, record by record, what an upload of FILE "
               "would add, change (old -> new) and remove: speed dials, groups, buttons, then "
               "the sender name. Nothing is printed when nothing differs.",
               "host|usb", kDiffExit},
    CliCommand{"import", "SOURCE", "makes a dial list file from an address book",
               "Reads the contacts of SOURCE (a vCard .vcf, an LDIF .ldif as Thunderbird writes "
               "it, or a .csv with a header row as Outlook and Google write it) and writes every "
               "fax number as a speed dial, named after its contact, into the file given with "
               "--output; categories become groups. Numbers are made dialable by the [Dialling] "
               "section of the settings (COUNTRY_CODE, NATIONAL_PREFIX, INTERNATIONAL_PREFIX, "
               "OUTSIDE_LINE). With --merge, numbers keep the keys they have in that list. A "
               "summary goes to standard error. Nothing is written when the contacts do not fit "
               "the model.",
               "output", kImportExit},
    CliCommand{"sync", "SOURCE", "puts an address book on every MFP that does not hold it yet",
               "Reads the contacts of SOURCE once, as import does (a file or a CardDAV URL), "
               "before any MFP is contacted. For each MFP it reads the MFP's list and merges the "
               "address book into it: a number the MFP already holds keeps its key, new numbers "
               "take the lowest free keys, and the MFP's other groups, buttons and sender name "
               "stay where their targets do. An MFP whose list already equals the result gets "
               "nothing sent and reads \"unchanged\"; any other gets a backup of its list (as "
               "upload does), the new list and a read-back compare. Nothing is asked. "
               "--dry-run prints what would change on each MFP and sends nothing. An address "
               "book without a fax number that can be dialled is refused before any MFP is "
               "contacted. A summary table of every MFP goes to standard output.",
               "host+hosts-file", kSyncExit},
};

bool Store(std::string& member, const std::string& value) {
    member = value;
    return true;
}

const std::array kOptions{
    CliOption{"settings", 0, "FILE", "",
              "program settings file (default: the first of "
              "$XDG_CONFIG_HOME/ORVEX/Dialvane/dialvane.ini, dialvane.ini beside the program and "
              "PREFIX/share/dialvane/dialvane.ini)",
              [](CliOptions& o, const std::string& v) { return Store(o.settingsPath, v); }},
    CliOption{"data-dir", 0, "DIR", "",
              "per-user data folder for the log, the user settings and the temporary files "
              "(default: $XDG_DATA_HOME/ORVEX/Dialvane)",
              [](CliOptions& o, const std::string& v) { return Store(o.dataDir, v); }},
    CliOption{"model", 0, "NAME", "check export import",
              "model whose limits apply (default: OfflineTarget of [Network] in the settings)",
              [](CliOptions& o, const std::string& v) { return Store(o.model, v); }},
    CliOption{"host", 0, "HOST", "test download upload diff restore sync",
              "the MFP's IPv4 address or host name (TCP port 9100); download, upload and sync "
              "take it more than once, for several MFPs at once",
              [](CliOptions& o, const std::string& v) {
                  o.hosts.push_back(v);
                  return Store(o.host, o.hosts.front());
              }},
    CliOption{"hosts-file", 0, "FILE", "download upload sync",
              "more MFPs, one address or host name a line; blank lines and lines starting "
              "with # are skipped",
              [](CliOptions& o, const std::string& v) { return Store(o.hostsFile, v); }},
    CliOption{"jobs", 'j', "N", "download upload sync",
              "with several MFPs, how many are handled at once (default 8)",
              [](CliOptions& o, const std::string& v) {
                  try {
                      std::size_t used = 0;
                      o.jobs = std::stoi(v, &used);
                      return used == v.size() && o.jobs > 0;
                  } catch (const std::exception&) {
                      return false;
                  }
              }},
    CliOption{"usb", 0, nullptr, "test download upload diff restore",
              "reach the MFP over USB through the channel library instead of the network",
              [](CliOptions& o, const std::string&) { return o.usb = true; }},
    CliOption{"printer", 0, "NAME", "test download upload restore",
              "with --usb: the printer (CUPS queue, device node or mapping name) to use; "
              "default: the first printer of a supported model",
              [](CliOptions& o, const std::string& v) { return Store(o.printer, v); }},
    CliOption{"output", 'o', "FILE", "export download import",
              "file to write; - writes to standard output. A download from several MFPs "
              "writes one file per MFP into this folder, named after its address",
              [](CliOptions& o, const std::string& v) { return Store(o.output, v); }},
    CliOption{"encoding", 0, "NAME", "check export download upload diff import",
              "encoding of the dial list files read and written: cp932, cp1252 or utf-8 "
              "(default: cp932 when LANG=JPN in the settings, cp1252 otherwise)",
              [](CliOptions& o, const std::string& v) {
                  const std::optional<FileEncoding> encoding = ParseFileEncoding(v);
                  return encoding && Store(o.encoding, std::string(FileEncodingName(*encoding)));
              }},
    CliOption{"verify", 0, nullptr, "upload", "read the list back after sending and compare it",
              [](CliOptions& o, const std::string&) { return o.verify = true; }},
    CliOption{"no-backup", 0, nullptr, "upload",
              "do not save the MFP's list before replacing it (this run only)",
              [](CliOptions& o, const std::string&) { return o.noBackup = true; }},
    CliOption{"dry-run", 0, nullptr, "upload sync", "print what would change and send nothing",
              [](CliOptions& o, const std::string&) { return o.dryRun = true; }},
    CliOption{"merge", 0, "FILE", "import",
              "a dial list whose keys, groups, buttons and sender name the result keeps where "
              "their numbers are still there",
              [](CliOptions& o, const std::string& v) { return Store(o.merge, v); }},
    CliOption{"map", 0, "FIELD=HEADER", "import sync",
              "a CSV column with another header: FIELD is name, fax or group; may be given "
              "more than once",
              [](CliOptions& o, const std::string& v) {
                  const size_t equals = v.find('=');
                  if (equals == std::string::npos || equals + 1 == v.size() ||
                      !IsCsvMapField(v.substr(0, equals))) {
                      return false;
                  }
                  o.maps.push_back(v);
                  return true;
              }},
    CliOption{"from-encoding", 0, "NAME", "import sync",
              "encoding of the address book when it has no byte-order mark (default UTF-8), "
              "as iconv names it",
              [](CliOptions& o, const std::string& v) {
                  return IsKnownEncoding(v) && Store(o.fromEncoding, v);
              }},
    CliOption{"verbose", 'v', nullptr, "import",
              "also name every speed dial, group and contact without a fax number",
              [](CliOptions& o, const std::string&) { return o.verbose = true; }},
    CliOption{"user", 0, "NAME", "import sync",
              "with a CardDAV URL: the user name for Basic authentication, which is sent only "
              "over https or over plain http to this computer (127.0.0.0/8, ::1)",
              [](CliOptions& o, const std::string& v) { return Store(o.user, v); }},
    CliOption{"password-file", 0, "FILE", "import sync",
              "with --user: the file whose first line is the password; it must not be readable "
              "by its group or others. Without it the password is asked on the terminal",
              [](CliOptions& o, const std::string& v) { return Store(o.passwordFile, v); }},
    CliOption{"ca-file", 0, "FILE", "import sync",
              "with an https URL: the certificates of a private certificate authority, trusted "
              "instead of the system's",
              [](CliOptions& o, const std::string& v) { return Store(o.caFile, v); }},
    CliOption{"yes", 'y', nullptr, "upload", "send without asking, also on a terminal",
              [](CliOptions& o, const std::string&) { return o.yes = true; }},
    CliOption{"list", 0, nullptr, "restore", "print this MFP's backups, newest first",
              [](CliOptions& o, const std::string&) { return o.list = true; }},
    // Answered by the parser itself.
    CliOption{"help", 'h', nullptr, "", "show this help; after a command, that command's help",
              nullptr},
    CliOption{"version", 'V', nullptr, "", "show the program's name and version", nullptr},
};

}  // namespace

std::span<const CliCommand> CliCommands() {
    return kCommands;
}
std::span<const CliOption> CliOptionTable() {
    return kOptions;
}

const CliCommand* FindCliCommand(const std::string& name) {
    for (const CliCommand& command : kCommands) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

bool OptionAppliesTo(const CliOption& option, const std::string& command) {
    if (*option.commands == '\0') {
        return true;
    }
    std::istringstream names(option.commands);
    std::string name;
    while (names >> name) {
        if (name == command) {
            return true;
        }
    }
    return false;
}

}  // namespace dialvane
