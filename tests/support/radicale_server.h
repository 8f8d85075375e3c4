// A real CalDAV server for tests: Debian's Radicale (python3-radicale), run
// as /usr/bin/python3 -m radicale on 127.0.0.1 on a free port, with its
// storage in a temporary folder and no authentication, stopped when the
// object goes.
#pragma once

#include <string>
#include <sys/types.h>

#include "support/temp_dir.h"

namespace qel2test {

class RadicaleServer {
public:
    // Starts the server and waits until it answers; throws
    // std::runtime_error when it does not within a few seconds.
    RadicaleServer();
    ~RadicaleServer();
    RadicaleServer(const RadicaleServer&) = delete;
    RadicaleServer& operator=(const RadicaleServer&) = delete;

    // "http://127.0.0.1:<port>"
    std::string url() const;
    int port() const { return port_; }
    const std::filesystem::path& storage() const { return storage_.path(); }

private:
    TempDir storage_;
    int port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace qel2test
