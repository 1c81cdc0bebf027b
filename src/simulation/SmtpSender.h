#pragma once
// Sends the SMTP statement's mail with libcurl: plain SMTP with STARTTLS when the
// server offers it, login when a user name is given.
#include "simulation/EffectPorts.h"

namespace v7300 {

class CurlSmtpSender : public SmtpPort {
public:
    explicit CurlSmtpSender(long timeoutSeconds = 30) : timeoutSeconds_(timeoutSeconds) {}
    void Send(const SmtpMessage& message) override;

private:
    long timeoutSeconds_;
};

// Sets up libcurl's global state. The programs call it once at their start,
// before any other thread runs; later calls do nothing.
void InitCurl();

// The message as sent: header lines and body, CR LF line ends, dot-stuffed.
std::string ComposeMail(const SmtpMessage& message);

} // namespace v7300
