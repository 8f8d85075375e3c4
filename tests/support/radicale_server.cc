#include "support/radicale_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace qel2test {

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port the kernel has just handed out and taken back.
int FreePort() {
    int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t size = sizeof address;
    if (socket < 0 || bind(socket, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("no free port on 127.0.0.1");
    close(socket);
    return ntohs(address.sin_port);
}

bool Accepts(int port) {
    int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(port);
    bool connected = connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(socket);
    return connected;
}

}  // namespace

RadicaleServer::RadicaleServer(const std::vector<RadicaleUser>& users) : port_(FreePort()) {
    std::string htpasswd;
    for (const RadicaleUser& user : users) htpasswd += user.name + ":" + user.password + "\n";
    dir_.write("users", htpasswd);
    std::filesystem::path config = dir_.write(
        "config", "[server]\nhosts = 127.0.0.1:" + std::to_string(port_) +
                      "\n[auth]\ntype = htpasswd\nhtpasswd_filename = " + (dir_.path() / "users").string() +
                      "\nhtpasswd_encryption = plain\n[storage]\nfilesystem_folder = " +
                      (dir_.path() / "storage").string() + "\n[logging]\nlevel = warning\n");
    std::string log = (dir_.path() / "radicale.log").string();
    pid_ = fork();
    if (pid_ == 0) {
        freopen(log.c_str(), "w", stdout);
        freopen(log.c_str(), "a", stderr);
        execl("/usr/bin/python3", "python3", "-m", "radicale", "--config", config.c_str(), nullptr);
        _exit(127);
    }
    if (pid_ < 0) throw std::runtime_error("cannot start radicale");
    for (int tries = 0; tries < 200; ++tries) {
        if (Accepts(port_)) return;
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    throw std::runtime_error("radicale did not start; see " + log);
}

RadicaleServer::~RadicaleServer() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

std::string RadicaleServer::home(const std::string& user) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + user + "/";
}

std::filesystem::path RadicaleServer::storage(const std::string& user) const {
    return dir_.path() / "storage" / "collection-root" / user;
}

}  // namespace qel2test
