// What an operation reports back beyond its result: file problems, each a
// whole sentence naming the file and the reason, which the window shows in
// one message box each. Every layer from the files up returns this one type,
// and it cannot be dropped unread.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kurvana {

class [[nodiscard]] Status {
 public:
  Status() = default;

  // One problem; an empty message is none.
  static Status failure(std::string message) {
    Status status;
    status.add(std::move(message));
    return status;
  }

  // A problem after which the program cannot go on (start-up only).
  static Status fatal(std::string message) {
    Status status;
    status.add(std::move(message));
    status.fatal_ = true;
    return status;
  }

  // An empty message is no problem.
  void add(std::string message) {
    if (!message.empty()) messages_.push_back(std::move(message));
  }
  void add(Status other) {
    for (std::string& m : other.messages_) messages_.push_back(std::move(m));
    fatal_ = fatal_ || other.fatal_;
  }

  bool ok() const { return messages_.empty(); }
  bool isFatal() const { return fatal_; }
  const std::vector<std::string>& messages() const { return messages_; }
  // The messages one a line; empty when ok.
  std::string message() const {
    std::string text;
    for (const std::string& m : messages_) text += (text.empty() ? "" : "\n") + m;
    return text;
  }

 private:
  std::vector<std::string> messages_;
  bool fatal_ = false;
};

}  // namespace kurvana
