// Where code below the hosts reports problems to the user. The Windows host shows
// a message box titled with the caption, the orvex tool prints to stderr, and
// the tests record what was said.
#pragma once

#include <string>
#include <vector>

namespace orvex {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const std::string& caption, const std::string& text) = 0;
};

// Keeps every message, in order; for tests and for callers that decide later.
class RecordingMessageSink : public MessageSink {
public:
    struct Message {
        std::string caption;
        std::string text;
    };

    void show(const std::string& caption, const std::string& text) override { messages.push_back({caption, text}); }

    std::vector<Message> messages;
};

}  // namespace orvex
