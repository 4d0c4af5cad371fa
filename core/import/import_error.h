// How an import refuses data: an ImportError whose message says why and
// where, naming names and values in quotes; ImportCancelled when the user
// stopped it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace kelvo {

// The short form of a refusal, for the one-line field of a warning box: it
// says where by line and by names of at most 12 characters, and leaves the
// explanation to the help page of messages.
struct BriefText {
    std::string text;
};

// The data cannot become a table set; the message says why and where.
class ImportError : public std::runtime_error {
public:
    explicit ImportError(const std::string& message, bool nameTooLong = false)
        : std::runtime_error(message), m_nameTooLong(nameTooLong) {}
    ImportError(const std::string& message, BriefText brief, bool nameTooLong = false)
        : std::runtime_error(message), m_brief(std::move(brief.text)), m_nameTooLong(nameTooLong) {}
    // The refusal is a name or value longer than a name can be, which the
    // option to cut long names would mend.
    bool NameTooLong() const { return m_nameTooLong; }
    // The short form, or the whole message when that is short already.
    std::string Brief() const { return m_brief.empty() ? what() : m_brief; }

private:
    std::string m_brief;
    bool m_nameTooLong;
};

// The reading was stopped by its progress callback.
class ImportCancelled : public std::runtime_error {
public:
    ImportCancelled() : std::runtime_error("Cancelled") {}
};

// "text" in double quotes, as refusals cite names and values.
inline std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

}  // namespace kelvo
