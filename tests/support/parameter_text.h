#pragma once
// Holds a parameter text the way the entry point does (text, terminator, tag-name
// area of the same size) and keeps it parsed for the life of the object.

#include <cstring>
#include <string>
#include <vector>

#include "core/args.h"

namespace korvane::testing {

class ParameterText {
public:
    explicit ParameterText(const std::string& text) : buffer_(2 * text.size() + 2, '\x7F') {
        std::memcpy(buffer_.data(), text.data(), text.size());
        buffer_[text.size()] = '\0';
        status_ = startParameterText(buffer_.data(), buffer_.data() + text.size() + 1);
    }
    ~ParameterText() { endParameterText(); }
    ParameterText(const ParameterText&) = delete;
    ParameterText& operator=(const ParameterText&) = delete;

    Status startStatus() const { return status_; }

private:
    std::vector<char> buffer_;
    Status status_;
};

}  // namespace korvane::testing
