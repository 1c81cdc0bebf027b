#include "simulation/SmtpSender.h"

#include "core/Error.h"

#include <curl/curl.h>

#include <cstring>
#include <memory>
#include <mutex>

namespace v7300 {

namespace {

// Header values come from the script: line breaks would start new header lines.
std::string headerValue(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& i : items) {
        if (!out.empty()) out += ", ";
        out += headerValue(i);
    }
    return out;
}

struct Upload {
    std::string data;
    std::size_t pos = 0;
};

std::size_t readPayload(char* buffer, std::size_t size, std::size_t count, void* userdata) {
    auto* u = static_cast<Upload*>(userdata);
    const std::size_t n = std::min(size * count, u->data.size() - u->pos);
    std::memcpy(buffer, u->data.data() + u->pos, n);
    u->pos += n;
    return n;
}

} // namespace

namespace {
std::once_flag curlOnce;
bool curlReady = false;
} // namespace

void InitCurl() {
    std::call_once(curlOnce, [] { curlReady = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
}

std::string ComposeMail(const SmtpMessage& m) {
    std::string mail;
    mail += "From: " + headerValue(m.Sender) + "\r\n";
    mail += "To: " + joined(m.Recipients) + "\r\n";
    mail += "Subject: " + headerValue(m.Subject) + "\r\n";
    mail += "MIME-Version: 1.0\r\n";
    mail += "Content-Type: text/plain; charset=UTF-8\r\n";
    mail += "\r\n";
    // Body lines: a line that begins with "." gets a second one.
    std::string body = m.Body;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = body.find('\n', start);
        std::string line = body.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '.') line.insert(0, ".");
        mail += line + "\r\n";
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return mail;
}

void CurlSmtpSender::Send(const SmtpMessage& m) {
    InitCurl(); // done at program start; only programs that skipped it initialise here
    if (!curlReady) throw Error("SMTP: libcurl kann nicht gestartet werden");
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) throw Error("SMTP: libcurl kann nicht gestartet werden");
    CURL* c = curl.get();
    const std::string url = "smtp://" + m.Host + ":" + std::to_string(m.Port);
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtp");
    curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    if (!m.User.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, m.User.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, m.Password.c_str());
    }
    const std::string from = "<" + m.Sender + ">";
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.c_str());
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> rcpt(nullptr, curl_slist_free_all);
    for (const auto& r : m.Recipients) {
        const std::string addr = "<" + r + ">";
        curl_slist* next = curl_slist_append(rcpt.get(), addr.c_str());
        if (next == nullptr) throw Error("SMTP: zu wenig Speicher");
        rcpt.release();
        rcpt.reset(next);
    }
    if (!rcpt) throw Error("SMTP: kein Empfänger");
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, rcpt.get());
    Upload upload{ComposeMail(m), 0};
    curl_easy_setopt(c, CURLOPT_READFUNCTION, readPayload);
    curl_easy_setopt(c, CURLOPT_READDATA, &upload);
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, std::min(timeoutSeconds_, 10L));
    curl_easy_setopt(c, CURLOPT_TIMEOUT, timeoutSeconds_);
    const CURLcode rc = curl_easy_perform(c);
    if (rc != CURLE_OK) throw Error(std::string("SMTP: ") + curl_easy_strerror(rc));
}

} // namespace v7300
