#pragma once
// A parameter text as the call lifecycle hands it to the tokenizer, kept parsed for
// the life of the object: the Arguments a Call would carry. The text and the tag-name area are separate heap blocks of
// exactly the promised sizes, so the sanitizers see any byte touched past either.

#include <cstring>
#include <memory>
#include <string>

#include "core/args.h"

namespace korvane::test {

class ParameterText : public Arguments {
  public:
    explicit ParameterText(const std::string& text)
        : size_(std::strlen(text.c_str()) + 1), text_(new char[size_]), names_(new char[size_]) {
        std::memcpy(text_.get(), text.c_str(), size_);
        status_ = start(text_.get(), names_.get());
    }
    ParameterText(const ParameterText&) = delete;
    ParameterText& operator=(const ParameterText&) = delete;

    // The status of parsing the first command.
    Status startStatus() const { return status_; }

  private:
    size_t size_;
    std::unique_ptr<char[]> text_;
    std::unique_ptr<char[]> names_;
    Status status_;
};

}  // namespace korvane::test
