#pragma once
// The error report sent to the report service: six form fields posted as
// application/x-www-form-urlencoded with libcurl.
#include <string>
#include <vector>

namespace v7300 {

struct TErrorReportForm {
    std::string error;                   // UTF-8
    std::string msg;                     // UTF-8
    std::string user;                    // UTF-8 in memory; sent as Windows-1252
    std::string version = "2.2.2";
    std::string protype = "BETA";
    std::vector<std::string> actionlist; // one line per action, oldest first
};

// The form body: error, msg, user, version, protype, actionlist, each percent-encoded.
std::string BuildErrorReportBody(const TErrorReportForm& report);

struct TPostResult {
    bool ok = false;
    long status = 0;
    std::string body;  // the reply body
    std::string error; // why the post failed
};

// Posts the body to url and waits for the reply (at most timeoutSeconds).
TPostResult PostErrorReport(const std::string& url, const std::string& body, long timeoutSeconds = 20);

} // namespace v7300
