// CSV text as records: fields split at commas, quotes as spreadsheets write
// them (a field in double quotes may hold commas, line ends and doubled
// quotes), a UTF-8 byte order mark at the start dropped. Text is fed in
// pieces of any size; each complete record goes to a handler with the line
// it ends on.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "import_error.h"

namespace kelvo {

class CsvRecordReader {
public:
    // Receives the fields of one record; may change them. An exception it
    // throws ends the reading: Feed or Finish throws it on.
    using RecordHandler = std::function<void(std::vector<std::string>& fields)>;

    explicit CsvRecordReader(RecordHandler handler);
    ~CsvRecordReader();
    CsvRecordReader(const CsvRecordReader&) = delete;
    CsvRecordReader& operator=(const CsvRecordReader&) = delete;

    // Throws ImportError for malformed quotes, or what the handler threw.
    void Feed(std::string_view bytes);
    // Ends the input: a last record without a line end is handed over.
    void Finish();
    // The line (from 1) that the text being parsed is on.
    std::int64_t Line() const;
    // " (line N)", for messages about the record at hand.
    std::string Where() const;

private:
    struct State;
    void FeedLines(std::string_view bytes);
    std::unique_ptr<State> m_state;
};

// A record of `fields` fields in a file whose header has `headerFields`.
ImportError FieldCountError(std::int64_t line, std::size_t fields, std::size_t headerFields);
// A file without even the line of names.
ImportError EmptyFileError();

// How far a file has been read: called after every piece with the bytes read
// so far and the file's size. Returning false stops the reading (an
// ImportCancelled is then thrown).
using ReadProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Hands the whole file at `path` to `feed`, piece after piece. Throws IoError
// when the file cannot be read.
void ReadFileInPieces(const std::filesystem::path& path, const std::function<void(std::string_view)>& feed,
                      const ReadProgress& progress = {});

}  // namespace kelvo
