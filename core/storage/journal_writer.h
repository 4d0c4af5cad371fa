// The writer of recovery journals, on a thread of its own.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace kelvo {

struct InputSide;

// Writes journals on a thread of its own so that the window that submits
// them never waits for the disk or for the formatting. Only the newest
// submitted journal of a burst is written; one written earlier is replaced
// as a whole; a journal that would hold what the last one written holds is
// not written again.
class JournalWriter {
public:
    // `failed` is called on the writer's thread with the text of a failed
    // write; `written` after each successful one.
    JournalWriter(std::function<void(const std::string&)> failed, std::function<void()> written = {});
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Writes the journal of a copy of the table set's input side to `file`
    // soon, making its text on the writer's thread; replaces a journal
    // still waiting.
    void Submit(const std::filesystem::path& file, std::string tableSetPath, std::int64_t time,
                std::unique_ptr<const InputSide> snapshot);
    // Drops a waiting journal for `file`, waits for one being written and
    // removes the file: after it returns, no journal of `file` exists or
    // will be written until the next Submit.
    void Remove(const std::filesystem::path& file);
    // Waits until everything submitted has been written (or has failed).
    void Flush();
    // How many journals have been written so far (not counting those
    // skipped for holding nothing new).
    int Writes() const;

private:
    struct State;
    void Run();
    std::unique_ptr<State> m_state;
};

}  // namespace kelvo
