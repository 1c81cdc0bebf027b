#pragma once
// SIGINT and SIGTERM become a readable descriptor while an InterruptWatch lives,
// so that a command waiting in poll() ends its run in order (Ctrl+C).
namespace v7300::cli {

class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;
    // Readable once a signal came; -1 when the watch could not be set up.
    int Descriptor() const;
};

} // namespace v7300::cli
