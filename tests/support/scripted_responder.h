// Stands in for the user in tests: answers file dialogs from a script and records every
// dialog request and every error message. Installed for its lifetime.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct RecordedRequest {
    bool save;
    std::string filter; // the pairs with their NUL separators, without the closing NUL
    uint32_t filterIndex;
    bool hasDefaultExtension;
    std::string defaultExtension;
    uint32_t flags;
    std::string initialDirectory;
};

class ScriptedResponder {
  public:
    ScriptedResponder();
    ~ScriptedResponder();
    ScriptedResponder(const ScriptedResponder&) = delete;
    ScriptedResponder& operator=(const ScriptedResponder&) = delete;

    // Queues the answer to the next file dialog.
    void Choose(const std::string& path, uint32_t filterIndex = 1);
    void Cancel();

    std::vector<RecordedRequest> requests;
    std::vector<std::string> messages;
    int unansweredDialogs = 0; // dialogs shown with no answer queued (answered with cancel)

  private:
    struct Answer {
        bool confirm;
        std::string path;
        uint32_t filterIndex;
    };
    std::deque<Answer> answers_;
    PlatformResponder responder_;
};
