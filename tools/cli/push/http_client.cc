#include "http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <map>
#include <stdexcept>
#include <thread>

namespace qel2::cli::push {

namespace {

using Clock = std::chrono::steady_clock;

size_t AppendBody(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

// Keeps the ETag; the other headers are not needed.
size_t ReadHeader(char* data, size_t size, size_t count, void* target) {
    std::string_view line(data, size * count);
    constexpr std::string_view kName = "etag:";
    if (line.size() > kName.size() && strncasecmp(line.data(), kName.data(), kName.size()) == 0) {
        line.remove_prefix(kName.size());
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
            line.remove_suffix(1);
        static_cast<HttpResponse*>(target)->etag = std::string(line);
    }
    return size * count;
}

bool RetryableCurlError(CURLcode code) {
    switch (code) {
        case CURLE_COULDNT_CONNECT:
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE:
            return true;
        default:
            return false;
    }
}

}  // namespace

struct HttpClient::Transfer {
    HttpRequest request;
    HttpResponse response;
    size_t index = 0;
    CURL* easy = nullptr;
    CURLM* multi = nullptr;  // set while the multi handle holds `easy`
    curl_slist* headers = nullptr;
    CURLcode result = CURLE_OK;
    char error[CURL_ERROR_SIZE] = {};
    Clock::time_point retryAt;

    ~Transfer() {
        if (multi != nullptr) curl_multi_remove_handle(multi, easy);
        if (easy != nullptr) curl_easy_cleanup(easy);
        curl_slist_free_all(headers);
    }
};

HttpClient::HttpClient(HttpOptions options) : options_(std::move(options)) {
    static const CURLcode initialized = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (initialized != CURLE_OK) throw std::runtime_error("libcurl cannot start");
    multi_ = curl_multi_init();
    if (multi_ == nullptr) throw std::runtime_error("libcurl cannot start");
}

HttpClient::~HttpClient() { curl_multi_cleanup(static_cast<CURLM*>(multi_)); }

void HttpClient::Prepare(Transfer& transfer) {
    if (transfer.easy == nullptr)
        transfer.easy = curl_easy_init();
    else
        curl_easy_reset(transfer.easy);
    if (transfer.easy == nullptr) throw std::bad_alloc();
    curl_slist_free_all(transfer.headers);
    transfer.headers = nullptr;
    // A body goes out at once, without waiting for "100 Continue".
    transfer.request.headers.push_back("Expect:");
    for (const std::string& header : transfer.request.headers)
        if (curl_slist* grown = curl_slist_append(transfer.headers, header.c_str()))
            transfer.headers = grown;
        else
            throw std::bad_alloc();
    transfer.request.headers.pop_back();
    int attempts = transfer.response.attempts + 1;
    transfer.response = HttpResponse();
    transfer.response.attempts = attempts;
    transfer.error[0] = '\0';

    CURL* easy = transfer.easy;
    curl_easy_setopt(easy, CURLOPT_URL, transfer.request.url.c_str());
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, transfer.request.method.c_str());
    if (!transfer.request.body.empty() || transfer.request.method == "PUT") {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, transfer.request.body.data());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(transfer.request.body.size()));
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, transfer.headers);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, AppendBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer.response.body);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, ReadHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer.response);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer.error);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, options_.connectTimeoutSeconds);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT, options_.timeoutSeconds);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    if (options_.caFile) curl_easy_setopt(easy, CURLOPT_CAINFO, options_.caFile->c_str());
    if (options_.user) {
        curl_easy_setopt(easy, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
        curl_easy_setopt(easy, CURLOPT_USERNAME, options_.user->c_str());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, options_.password.c_str());
    }
}

bool HttpClient::ShouldRetry(const Transfer& transfer) const {
    if (transfer.response.attempts > options_.retries) return false;
    if (transfer.result != CURLE_OK) return RetryableCurlError(transfer.result);
    long status = transfer.response.status;
    return status >= 500 || status == 429;
}

void HttpClient::SendAll(const Source& next, size_t jobs, const Done& done) {
    CURLM* multi = static_cast<CURLM*>(multi_);
    jobs = std::max<size_t>(jobs, 1);
    std::map<CURL*, std::unique_ptr<Transfer>> running;
    std::deque<std::unique_ptr<Transfer>> waiting;  // retries, in the order they were put off
    size_t pulled = 0;
    bool exhausted = false;

    auto start = [&](std::unique_ptr<Transfer> transfer) {
        Prepare(*transfer);
        if (curl_multi_add_handle(multi, transfer->easy) != CURLM_OK) throw std::bad_alloc();
        transfer->multi = multi;
        CURL* easy = transfer->easy;
        running.emplace(easy, std::move(transfer));
    };

    for (;;) {
        Clock::time_point now = Clock::now();
        while (!waiting.empty() && running.size() < jobs && waiting.front()->retryAt <= now) {
            start(std::move(waiting.front()));
            waiting.pop_front();
        }
        while (!exhausted && running.size() + waiting.size() < jobs) {
            std::optional<HttpRequest> request = next();
            if (!request) {
                exhausted = true;
                break;
            }
            auto transfer = std::make_unique<Transfer>();
            transfer->request = std::move(*request);
            transfer->index = pulled++;
            start(std::move(transfer));
        }
        if (running.empty() && waiting.empty()) return;
        if (running.empty()) {
            std::this_thread::sleep_until(waiting.front()->retryAt);
            continue;
        }

        int active = 0;
        curl_multi_perform(multi, &active);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg != CURLMSG_DONE) continue;
            auto node = running.extract(message->easy_handle);
            std::unique_ptr<Transfer> transfer = std::move(node.mapped());
            curl_multi_remove_handle(multi, transfer->easy);
            transfer->multi = nullptr;
            transfer->result = message->data.result;
            if (transfer->result == CURLE_OK) {
                curl_easy_getinfo(transfer->easy, CURLINFO_RESPONSE_CODE,
                                  &transfer->response.status);
            } else {
                transfer->response.error = transfer->error[0] != '\0'
                                               ? transfer->error
                                               : curl_easy_strerror(transfer->result);
            }
            if (ShouldRetry(*transfer)) {
                long pause = options_.firstPauseMilliseconds << (transfer->response.attempts - 1);
                transfer->retryAt = Clock::now() + std::chrono::milliseconds(pause);
                waiting.push_back(std::move(transfer));
            } else {
                done(transfer->index, transfer->request, std::move(transfer->response));
            }
        }
        if (active > 0) curl_multi_poll(multi, nullptr, 0, 200, nullptr);
    }
}

HttpResponse HttpClient::Send(const HttpRequest& request) {
    bool given = false;
    HttpResponse answer;
    SendAll(
        [&]() -> std::optional<HttpRequest> {
            if (given) return std::nullopt;
            given = true;
            return request;
        },
        1,
        [&](size_t, const HttpRequest&, HttpResponse response) { answer = std::move(response); });
    return answer;
}

std::string DescribeAnswer(const HttpResponse& response) {
    if (response.status == 0) return response.error;
    std::string text = std::to_string(response.status);
    switch (response.status) {
        case 401:
            return text + " Unauthorized";
        case 403:
            return text + " Forbidden";
        case 404:
            return text + " Not Found";
        case 405:
            return text + " Method Not Allowed";
        case 409:
            return text + " Conflict";
        case 412:
            return text + " Precondition Failed";
        case 415:
            return text + " Unsupported Media Type";
        default:
            return text;
    }
}

std::string FirstLines(const std::string& body, size_t lines) {
    constexpr size_t kMostCharacters = 600;
    size_t end = 0;
    for (size_t n = 0; n < lines; ++n) {
        size_t newline = body.find('\n', end);
        end = newline == std::string::npos ? body.size() : newline + 1;
    }
    std::string head = body.substr(0, std::min(end, kMostCharacters));
    while (!head.empty() && (head.back() == '\n' || head.back() == '\r')) head.pop_back();
    return head;
}

}  // namespace qel2::cli::push
