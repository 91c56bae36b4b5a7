#pragma once

#include <arpa/inet.h>
#include <curl/curl.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/TempDir.h"

namespace dialvane::testing {

// libcurl honours these; a proxy of the machine's own must not stand between a test and its
// loopback server.
inline void ClearProxyVariables() {
    for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY",
                             "all_proxy", "no_proxy", "NO_PROXY"}) {
        ::unsetenv(name);
    }
}

// Debian's radicale on `address`:5232 with one htpasswd user and its storage in a folder of
// its own; stopped when this ends.
class RadicaleServer {
  public:
    RadicaleServer(const std::string& address, const std::string& user, const std::string& password)
        : base_("http://" + address + ":5232") {
        dir_.Write("users", user + ":" + password + "\n");
        const std::string config = dir_.Write(
            "config",
            "[server]\nhosts = " + address +
                ":5232\n[auth]\ntype = htpasswd\nhtpasswd_filename = " + dir_.File("users") +
                "\nhtpasswd_encryption = plain\ndelay = 0\n"
                "[storage]\nfilesystem_folder = " +
                dir_.File("collections") +
                "\n[rights]\ntype = owner_only\n[web]\ntype = none\n"
                "[logging]\nlevel = warning\n");
        const std::string log = dir_.File("radicale.log");
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT, 0600);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        const char* argv[] = {"radicale", "--config", config.c_str(), nullptr};
        if (posix_spawnp(&pid_, "radicale", &files, nullptr, const_cast<char**>(argv), environ) !=
            0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&files);
        problem_ =
            pid_ < 0 ? "radicale could not be started (is it installed?)" : WaitForPort(address);
    }
    ~RadicaleServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    RadicaleServer(const RadicaleServer&) = delete;
    RadicaleServer& operator=(const RadicaleServer&) = delete;

    // Empty once the server accepts connections; else what did not happen.
    const std::string& Problem() const { return problem_; }
    const std::string& Base() const { return base_; }

    // Creates the address book `path` ("/user/book/"); the HTTP status, 201 when it was made.
    long MakeAddressBook(const std::string& path, const std::string& credentials) const {
        return Send("MKCOL", path, credentials, "application/xml",
                    "<?xml version=\"1.0\"?><D:mkcol xmlns:D=\"DAV:\" "
                    "xmlns:C=\"urn:ietf:params:xml:ns:carddav\"><D:set><D:prop>"
                    "<D:resourcetype><D:collection/><C:addressbook/></D:resourcetype>"
                    "</D:prop></D:set></D:mkcol>");
    }

    // One request through the server's own HTTP interface; the HTTP status, 0 when none came.
    long Send(const std::string& method, const std::string& path, const std::string& credentials,
              const std::string& contentType, const std::string& body) const {
        CURL* curl = curl_easy_init();
        curl_slist* headers = curl_slist_append(nullptr, ("Content-Type: " + contentType).c_str());
        curl_easy_setopt(curl, CURLOPT_URL, (base_ + path).c_str());
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.c_str());
        curl_easy_setopt(curl, CURLOPT_USERPWD, credentials.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
        curl_easy_setopt(
            curl, CURLOPT_WRITEFUNCTION,
            +[](char*, size_t size, size_t count, void*) { return size * count; });
        long status = 0;
        if (curl_easy_perform(curl) == CURLE_OK) {
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        }
        curl_slist_free_all(headers);
        curl_easy_cleanup(curl);
        return status;
    }

  private:
    // A server start has no event to wait for but its socket: bounded connect attempts with a
    // short pause between them, giving up at once when the process ended.
    std::string WaitForPort(const std::string& address) {
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_port = htons(5232);
        inet_pton(AF_INET, address.c_str(), &where.sin_addr);
        constexpr int kAttempts = 200;
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const bool up =
                ::connect(fd, reinterpret_cast<const sockaddr*>(&where), sizeof(where)) == 0;
            ::close(fd);
            if (up) {
                return {};
            }
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return "radicale ended before it listened: " + dir_.Read("radicale.log");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return "radicale did not accept a connection on " + base_ + " after " +
               std::to_string(kAttempts) + " attempts: " + dir_.Read("radicale.log");
    }

    TempDir dir_;
    std::string base_;
    pid_t pid_ = -1;
    std::string problem_;
};

}  // namespace dialvane::testing
