#include "support/radicale_server.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace qel2::test {

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port the system just handed out and nobody holds now.
int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (fd >= 0) close(fd);
        throw std::runtime_error("no free port for Radicale");
    }
    close(fd);
    return ntohs(address.sin_port);
}

bool Answers(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(port);
    const bool connected =
        fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) close(fd);
    return connected;
}

}  // namespace

RadicaleServer::RadicaleServer(const std::vector<RadicaleUser>& users, bool https)
    : port_(FreePort()), https_(https) {
    const std::string hosts = "127.0.0.1:" + std::to_string(port_);
    const std::string folder = (storage_.path() / "collections").string();
    std::string htpasswd;
    for (const RadicaleUser& user : users) htpasswd += user.name + ":" + user.password + "\n";
    const std::string passwords = storage_.write("users", htpasswd).string();
    std::vector<std::string> arguments = {"python3",  "-m",
                                          "radicale", "--config",
                                          "",         "--server-hosts",
                                          hosts,      "--storage-filesystem-folder",
                                          folder,     "--logging-level",
                                          "warning"};
    if (users.empty())
        arguments.insert(arguments.end(),
                         {"--auth-type", "none", "--rights-type", "authenticated"});
    else
        arguments.insert(arguments.end(),
                         {"--auth-type", "htpasswd", "--auth-htpasswd-filename", passwords,
                          "--auth-htpasswd-encryption", "plain", "--rights-type", "owner_only"});
    if (https) {
        const std::string key = (storage_.path() / "key.pem").string();
        const std::string made =
            "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 -addext "
            "subjectAltName=IP:127.0.0.1 -keyout '" +
            key + "' -out '" + certificate().string() + "' >/dev/null 2>&1";
        if (std::system(made.c_str()) != 0)
            throw std::runtime_error("openssl could not make a certificate");
        arguments.insert(arguments.end(), {"--server-ssl", "True", "--server-certificate",
                                           certificate().string(), "--server-key", key});
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("cannot start Radicale");
    if (pid_ == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        // An empty --config list: no system or user configuration is read.
        execv("/usr/bin/python3", argv.data());
        _exit(127);
    }
    for (int tries = 0; tries < 200; ++tries) {
        if (Answers(port_)) return;
        int status;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("Radicale ended before it answered");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    throw std::runtime_error("Radicale did not answer within 10 s");
}

RadicaleServer::~RadicaleServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

std::string RadicaleServer::url() const {
    return (https_ ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port_);
}

}  // namespace qel2::test
