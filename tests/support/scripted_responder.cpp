#include "tests/support/scripted_responder.h"

#include <cstdio>
#include <cstring>

ScriptedResponder::ScriptedResponder() {
    responder_.answerFileDialog = [this](const FileDialogRequest& request, FileDialogResult& result) {
        std::string filter;
        for (const char* pair = request.filter; *pair; pair += std::strlen(pair) + 1) {
            filter += std::string(pair) + "|";
        }
        char flags[16];
        std::snprintf(flags, sizeof flags, "%08X", request.flags);
        requests.push_back(std::string(request.save ? "save " : "open ") + filter + " " +
                           std::to_string(request.filterIndex) + " " +
                           (request.defaultExtension ? request.defaultExtension : "-") + " " + flags + " " +
                           request.initialDirectory);
        if (answers_.empty() || answers_.front().second == 0) {
            if (!answers_.empty()) {
                answers_.pop_front();
            }
            return 0;
        }
        auto [path, filterIndex] = answers_.front();
        answers_.pop_front();
        std::strncpy(result.path, path.c_str(), sizeof result.path - 1);
        result.fileOffset = static_cast<uint16_t>(path.find_last_of("\\/") + 1);
        result.filterIndex = filterIndex;
        return 1;
    };
    responder_.reportMessage = [this](const char* text) { messages.emplace_back(text); };
    InstallResponder(&responder_);
}

ScriptedResponder::~ScriptedResponder() {
    InstallResponder(nullptr);
}
