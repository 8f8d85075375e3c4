// A real CalDAV server for the tests: Debian's Radicale on 127.0.0.1 and a
// free port, its storage and htpasswd file in a fresh temporary folder,
// stopped when the object goes.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace qel2test {

struct RadicaleUser {
    std::string name;
    std::string password;
};

class RadicaleServer {
public:
    // Starts the server and waits until it answers; throws
    // std::runtime_error when it does not come up.
    explicit RadicaleServer(const std::vector<RadicaleUser>& users);
    ~RadicaleServer();
    RadicaleServer(const RadicaleServer&) = delete;
    RadicaleServer& operator=(const RadicaleServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:PORT/NAME/": a user's home, where calendars go.
    std::string home(const std::string& user) const;
    // Where Radicale keeps a user's collections on disk.
    std::filesystem::path storage(const std::string& user) const;
    pid_t pid() const { return pid_; }
    // The folder the server's files live in; tests may put theirs there too.
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
    int port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace qel2test
