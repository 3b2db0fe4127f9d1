// What the commands of fceconv share: reading a car in the layout its first word names, the
// report of each file (with a progress line on a terminal), and the rules for outputs.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <unordered_set>
#include <vector>

// Takes the messages that the file code shows, so that none reaches a window or the
// terminal: fceconv reports the precise reason instead.
class QuietResponder {
  public:
    QuietResponder();
    ~QuietResponder();
    QuietResponder(const QuietResponder&) = delete;
    QuietResponder& operator=(const QuietResponder&) = delete;

    // The reason of the last failure, or the message shown when no reason was noted.
    std::string Reason() const;

  private:
    PlatformResponder responder_;
    std::string lastMessage_;
};

// Opens the car in the layout that its first word names: "kesh" or "verro3"; or, for a path
// ending in ".obj" (any case), builds it from that 3D model: "obj". Nothing when the reader
// refused the file. What is worth telling but no failure goes to *warnings.
std::optional<std::string> OpenCar(const std::string& path, std::vector<std::string>* warnings = nullptr);

// How a comment names the layout that OpenCar returned.
std::string LayoutName(const std::string& layout);

// Releases the car and the staging record that the last OpenCar filled.
void ReleaseCar();

struct Streams;

// Prints results and failures. The progress line is for a person watching a batch: only on a
// terminal, only for more than one file and not when quiet. While it is shown it is rewritten
// in place, and wiped before anything else is printed on that terminal, so that no line is
// printed over it.
class Reporter {
  public:
    Reporter(const Streams& streams, bool quiet, size_t fileCount);
    ~Reporter();
    Reporter(const Reporter&) = delete;
    Reporter& operator=(const Reporter&) = delete;

    // "[done/total] name" in place of the last progress line.
    void Step(size_t done, size_t total, const std::string& file);
    // The stream of results, with the progress line wiped first when both share the terminal.
    std::ostream& Out();
    // "fceconv: FILE: reason" on stderr; the run then ends with status 1.
    void Fail(const std::string& file, const std::string& reason);
    // The same line for something worth knowing that is no failure.
    void Note(const std::string& file, const std::string& text);
    // "fceconv: problem" on stderr, for a failure of the run rather than of one file.
    void FailRun(const std::string& problem);
    void MarkFailed() { failed_ = true; }
    int Status() const;

  private:
    void Wipe();
    std::ostream& out_;
    std::ostream& err_;
    bool progress_;
    bool outOnTerminal_;
    size_t shown_ = 0; // characters of the progress line on the screen
    bool failed_ = false;
};

// Never over an input or the --damaged file, never over what this run wrote from another
// input, never over any file without --force. Files are told apart by their identity, found
// once for each, so a batch of n files costs O(n) queries however their names are spelled.
class OutputRules {
  public:
    OutputRules(const std::vector<std::string>& inputs, const std::optional<std::string>& damaged,
                bool force);
    // Why output may not be written, or nothing when it may.
    std::optional<std::string> Refusal(const std::string& output) const;
    void Written(const std::string& output);

  private:
    std::unordered_set<FileIdentity, FileIdentityHash> inputs_;
    std::unordered_set<FileIdentity, FileIdentityHash> written_;
    bool force_;
};

// Where each INPUT's output goes: OUTPUT for one INPUT, or DIRECTORY/name for many.
struct Destination {
    std::optional<std::string> output;
    std::optional<std::string> directory;
};

// After a Verro3 save of the loaded car from input: one line on what the file left out, when
// anything was.
void NoteVerro3Losses(const std::string& input, uint32_t fileType, Reporter& reporter);

// Runs make(input, output) for each input whose output the rules allow, and reports
// "INPUT -> OUTPUT" for each that it made. In DIRECTORY, an output takes the input's file
// name, with its extension replaced by extension unless that is empty. make reports its
// own failures and returns whether the output was written. besideOutput, when given, names a
// second file that make writes beside each output; the same rules hold for it.
int RunOutputs(const std::vector<std::string>& inputs, const std::optional<std::string>& damaged,
               const Destination& destination, bool force, const std::string& extension, Reporter& reporter,
               const std::function<bool(const std::string& input, const std::string& output)>& make,
               const std::function<std::string(const std::string& output)>& besideOutput = nullptr);
