// Where a driver's lines go: a report file (CR LF line ends, text_file.h) or
// a stream such as standard output (LF).
#pragma once

#include <ostream>
#include <string_view>

namespace kelvo {

class LineSink {
public:
    virtual ~LineSink() = default;
    // Writes one line; the sink adds the line end.
    virtual void Line(std::string_view text) = 0;
};

class StreamLineSink : public LineSink {
public:
    explicit StreamLineSink(std::ostream& out) : m_out(out) {}
    void Line(std::string_view text) override { m_out << text << '\n'; }

private:
    std::ostream& m_out;
};

}  // namespace kelvo
