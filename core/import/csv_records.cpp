#include "csv_records.h"

#include <csv.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <exception>

#include "import_error.h"
#include "io_error.h"
#include "pair_counter.h"

namespace kelvo {

struct CsvRecordReader::State {
    RecordHandler handler;
    csv_parser parser{};
    std::int64_t line = 1;    // physical line being fed
    bool sawBom = false;      // the start of the input has been checked for a byte order mark
    std::string start;        // input held back until then
    std::vector<std::string> fields;  // fields of the record being parsed
    std::exception_ptr error;         // first failure, thrown on after the parser call returns

    static void OnField(void* data, std::size_t size, void* context) {
        auto* state = static_cast<State*>(context);
        if (!state->error) state->fields.emplace_back(static_cast<const char*>(data), size);
    }
    static void OnRecordEnd(int, void* context) {
        // The parser is C: nothing may be thrown through it.
        auto* state = static_cast<State*>(context);
        if (state->error) return;
        try {
            state->handler(state->fields);
        } catch (...) {
            state->error = std::current_exception();
        }
        state->fields.clear();
    }
    void ThrowIfFailed() {
        if (error) std::rethrow_exception(error);
    }
};

CsvRecordReader::CsvRecordReader(RecordHandler handler) : m_state(std::make_unique<State>()) {
    m_state->handler = std::move(handler);
    if (csv_init(&m_state->parser, CSV_STRICT | CSV_STRICT_FINI) != 0) throw ImportError("Out of memory");
}

CsvRecordReader::~CsvRecordReader() { csv_free(&m_state->parser); }

std::int64_t CsvRecordReader::Line() const { return m_state->line; }

ImportError FieldCountError(std::int64_t line, std::size_t fields, std::size_t headerFields) {
    const std::string where = "Line " + std::to_string(line) + " has " + std::to_string(fields) + " fields";
    return {where + ", the header has " + std::to_string(headerFields),
            BriefText{where + ", not " + std::to_string(headerFields)}};
}

ImportError EmptyFileError() {
    return {"Empty file: the first line must name the variables", BriefText{"Empty file: no line of names"}};
}

std::string CsvRecordReader::Where() const { return " (line " + std::to_string(m_state->line) + ")"; }

void CsvRecordReader::Feed(std::string_view bytes) {
    State& s = *m_state;
    if (!s.sawBom) {
        // Hold back the first three bytes until it is known whether they are
        // a UTF-8 byte order mark, which is dropped.
        s.start.append(bytes);
        if (s.start.size() < 3 && std::string_view("\xEF\xBB\xBF").starts_with(s.start)) return;
        s.sawBom = true;
        std::string start;
        start.swap(s.start);
        if (std::string_view(start).starts_with("\xEF\xBB\xBF")) start.erase(0, 3);
        return FeedLines(start);
    }
    FeedLines(bytes);
}

void CsvRecordReader::FeedLines(std::string_view bytes) {
    State& s = *m_state;
    // Feed line by line so that a refusal can name the line it is on.
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        const std::size_t length = lf == std::string_view::npos ? bytes.size() : lf + 1;
        if (csv_parse(&s.parser, bytes.data(), length, State::OnField, State::OnRecordEnd, &s) != length &&
            !s.error)
            s.error = std::make_exception_ptr(ImportError("Malformed quotes in line " + std::to_string(s.line)));
        s.ThrowIfFailed();
        bytes.remove_prefix(length);
        if (lf != std::string_view::npos) ++s.line;
    }
}

void CsvRecordReader::Finish() {
    State& s = *m_state;
    if (!s.sawBom) {
        s.sawBom = true;
        FeedLines(s.start);
    }
    if (csv_fini(&s.parser, State::OnField, State::OnRecordEnd, &s) != 0 && !s.error)
        s.error = std::make_exception_ptr(
            ImportError("Malformed quotes at the end of the file", BriefText{"Malformed quotes at the end"}));
    s.ThrowIfFailed();
}

void ReadFileInPieces(const std::filesystem::path& path, const std::function<void(std::string_view)>& feed,
                      const ReadProgress& progress) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) ThrowIoError(errno, IoOperation::Read);
    std::string buffer(1 << 20, '\0');
    try {
        struct stat info {};
        const std::uint64_t total = ::fstat(fd, &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
        std::uint64_t done = 0;
        for (;;) {
            const ssize_t got = ::read(fd, buffer.data(), buffer.size());
            if (got < 0) {
                if (errno == EINTR) continue;
                ThrowIoError(errno, IoOperation::Read);
            }
            if (got == 0) break;
            feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
            done += static_cast<std::uint64_t>(got);
            if (progress && !progress(done, total)) throw ImportCancelled();
        }
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
}

}  // namespace kelvo
