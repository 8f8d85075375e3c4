// HTTP exchanges with a CalDAV server over libcurl: one request at a time
// or many at once (curl multi) with a bound on how many are in flight.
// Connection failures and 5xx answers are retried with a growing pause;
// every other answer goes back to the caller as it came.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qel2::cli::push {

struct HttpRequest {
    std::string method;  // "PUT", "PROPFIND", ...
    std::string url;
    std::vector<std::string> headers;  // "Depth: 1"
    std::string body;
};

struct HttpResponse {
    long status = 0;    // 0: no HTTP answer, see `error`
    std::string error;  // libcurl's reason when there was no answer
    std::string etag;
    std::string body;
    int attempts = 0;
};

struct HttpOptions {
    std::optional<std::string> user;
    std::string password;
    std::optional<std::string> caFile;  // else the system's certificates
    long connectTimeoutSeconds = 15;
    long timeoutSeconds = 120;
    int retries = 3;
    long firstPauseMilliseconds = 500;  // doubled after each retry
};

class HttpClient {
public:
    explicit HttpClient(HttpOptions options);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    HttpResponse Send(const HttpRequest& request);

    // Pulls requests from `next` until it returns nothing and keeps at most
    // `jobs` in flight; `done` receives each request's final answer (after
    // its retries) with the request's number in pull order.
    using Source = std::function<std::optional<HttpRequest>()>;
    using Done = std::function<void(size_t index, const HttpRequest&, HttpResponse)>;
    void SendAll(const Source& next, size_t jobs, const Done& done);

private:
    struct Transfer;
    void Prepare(Transfer& transfer);
    bool ShouldRetry(const Transfer& transfer) const;

    HttpOptions options_;
    void* multi_;  // CURLM*, kept for its connection cache
};

// "404 Not Found" style text of an answer, or libcurl's reason.
std::string DescribeAnswer(const HttpResponse& response);
// The first `lines` lines of an answer's body, for reports.
std::string FirstLines(const std::string& body, size_t lines);

}  // namespace qel2::cli::push
