// Stands in for the user in tests: answers file dialogs from a script and records every
// dialog request and every error message. Installed for its lifetime.
#pragma once

#include "platform/platform.h"

#include <deque>
#include <string>
#include <vector>

class ScriptedResponder {
  public:
    ScriptedResponder();
    ~ScriptedResponder();
    ScriptedResponder(const ScriptedResponder&) = delete;
    ScriptedResponder& operator=(const ScriptedResponder&) = delete;

    // Queues the answer to the next file dialog; a dialog with none queued is cancelled.
    void Choose(const std::string& path, uint32_t filterIndex = 1) {
        answers_.push_back({path, filterIndex});
    }
    void Cancel() { answers_.push_back({"", 0}); }

    // Each dialog as "open" or "save", its filter (NULs shown as |), filter index, default
    // extension, flags in hex and initial folder, separated by spaces.
    std::vector<std::string> requests;
    std::vector<std::string> messages;

  private:
    std::deque<std::pair<std::string, uint32_t>> answers_;
    PlatformResponder responder_;
};
