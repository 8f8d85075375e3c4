// A real CalDAV server for tests: Debian's Radicale (python3-radicale), run
// as /usr/bin/python3 -m radicale on 127.0.0.1 on a free port, with its
// storage in a temporary folder, stopped when the object goes. Without
// users it asks for no authentication; with users it checks their
// passwords (htpasswd) and lets each reach only its own home.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "support/temp_dir.h"

namespace qel2::test {

struct RadicaleUser {
    std::string name;
    std::string password;
};

class RadicaleServer {
public:
    // Starts the server and waits until it answers; throws
    // std::runtime_error when it does not within a few seconds. With
    // `https` it answers only HTTPS, with a certificate for 127.0.0.1 that
    // openssl made for it and that no system trusts.
    explicit RadicaleServer(const std::vector<RadicaleUser>& users = {}, bool https = false);
    ~RadicaleServer();
    RadicaleServer(const RadicaleServer&) = delete;
    RadicaleServer& operator=(const RadicaleServer&) = delete;

    // "http://127.0.0.1:<port>" (https with `https`)
    std::string url() const;
    std::filesystem::path certificate() const { return storage_.path() / "certificate.pem"; }
    int port() const { return port_; }
    const std::filesystem::path& storage() const { return storage_.path(); }
    // "http://127.0.0.1:<port>/<user>/", where the user's calendars go,
    // and the folder Radicale keeps them in.
    std::string home(const std::string& user) const { return url() + "/" + user + "/"; }
    std::filesystem::path collections(const std::string& user) const {
        return storage_.path() / "collections" / "collection-root" / user;
    }

private:
    TempDir storage_;
    int port_ = 0;
    bool https_ = false;
    pid_t pid_ = -1;
};

}  // namespace qel2::test
