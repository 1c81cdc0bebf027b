#include "ui/dialogs/ErrorReport.h"

#include "core/TextCodec.h"
#include "simulation/SmtpSender.h"

#include <curl/curl.h>

namespace v7300 {

namespace {

std::string percentEncode(const std::string& bytes) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (unsigned char c : bytes) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '*') {
            out += static_cast<char>(c);
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

size_t collect(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

} // namespace

std::string BuildErrorReportBody(const TErrorReportForm& report) {
    std::string actions;
    for (const auto& line : report.actionlist) actions += line + "\r\n";
    std::string body;
    body += "error=" + percentEncode(report.error);
    body += "&msg=" + percentEncode(report.msg);
    // The user name travels in the program's 8-bit character set.
    body += "&user=" + percentEncode(utf8ToCp1252(report.user));
    body += "&version=" + percentEncode(report.version);
    body += "&protype=" + percentEncode(report.protype);
    body += "&actionlist=" + percentEncode(actions);
    return body;
}

TPostResult PostErrorReport(const std::string& url, const std::string& body, long timeoutSeconds) {
    TPostResult result;
    InitCurl(); // done at program start; only programs that skipped it initialise here
    CURL* curl = curl_easy_init();
    if (!curl) {
        result.error = "curl_easy_init";
        return result;
    }
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded");
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    const CURLcode code = curl_easy_perform(curl);
    if (code == CURLE_OK) {
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
        result.ok = result.status >= 200 && result.status < 300;
        if (!result.ok) result.error = "HTTP " + std::to_string(result.status);
    } else {
        result.error = curl_easy_strerror(code);
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return result;
}

} // namespace v7300
