#include "tests/support/scripted_responder.h"

#include <cstring>

namespace {

std::string FilterText(const char* filter) {
    std::string text;
    if (!filter) {
        return text;
    }
    const char* p = filter;
    while (*p) {
        size_t length = std::strlen(p);
        text.append(p, length + 1);
        p += length + 1;
    }
    return text;
}

} // namespace

ScriptedResponder::ScriptedResponder() {
    responder_.answerFileDialog = [this](const FileDialogRequest& request, FileDialogResult& result) {
        requests.push_back({request.save, FilterText(request.filter), request.filterIndex,
                            request.defaultExtension != nullptr,
                            request.defaultExtension ? request.defaultExtension : "", request.flags,
                            request.initialDirectory ? request.initialDirectory : ""});
        if (answers_.empty()) {
            ++unansweredDialogs;
            return 0;
        }
        Answer answer = answers_.front();
        answers_.pop_front();
        if (!answer.confirm) {
            return 0;
        }
        std::strncpy(result.path, answer.path.c_str(), sizeof result.path - 1);
        size_t slash = answer.path.find_last_of("\\/");
        result.fileOffset = static_cast<uint16_t>(slash == std::string::npos ? 0 : slash + 1);
        result.filterIndex = answer.filterIndex;
        return 1;
    };
    responder_.reportMessage = [this](const char* text) { messages.emplace_back(text); };
    InstallResponder(&responder_);
}

ScriptedResponder::~ScriptedResponder() {
    InstallResponder(nullptr);
}

void ScriptedResponder::Choose(const std::string& path, uint32_t filterIndex) {
    answers_.push_back({true, path, filterIndex});
}

void ScriptedResponder::Cancel() {
    answers_.push_back({false, "", 1});
}
