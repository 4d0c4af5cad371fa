#include "journal_writer.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "io_error.h"
#include "recovery_folder.h"
#include "table_set.h"
#include "table_set_file.h"

namespace kelvo {

struct JournalWriter::State {
    // A journal to write, with the table set to make its text from.
    struct Job {
        std::filesystem::path file;
        std::string tableSetPath;
        std::int64_t time = 0;
        std::unique_ptr<const InputSide> snapshot;
    };
    std::function<void(const std::string&)> failed;
    std::function<void()> written;
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::optional<Job> waiting;
    // What the last successful write put in which file (writer thread only,
    // cleared by Remove under the lock).
    std::filesystem::path lastFile;
    std::string lastText;
    // The text of the journal being written, its room used again each time:
    // fresh memory of this size costs more in page faults than the text.
    std::string text;
    bool busy = false;
    bool stopping = false;
    int writes = 0;
    std::thread thread;
};

JournalWriter::JournalWriter(std::function<void(const std::string&)> failed, std::function<void()> written)
    : m_state(std::make_unique<State>()) {
    m_state->failed = std::move(failed);
    m_state->written = std::move(written);
    m_state->thread = std::thread([this] { Run(); });
}

JournalWriter::~JournalWriter() {
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->stopping = true;
    }
    m_state->wake.notify_all();
    m_state->thread.join();
}

void JournalWriter::Submit(const std::filesystem::path& file, std::string tableSetPath, std::int64_t time,
                           std::unique_ptr<const InputSide> snapshot) {
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->waiting = State::Job{file, std::move(tableSetPath), time, std::move(snapshot)};
    }
    m_state->wake.notify_all();
}

void JournalWriter::Remove(const std::filesystem::path& file) {
    std::unique_lock lock(m_state->mutex);
    if (m_state->waiting && m_state->waiting->file == file) m_state->waiting.reset();
    m_state->idle.wait(lock, [this] { return !m_state->busy; });
    if (m_state->lastFile == file) {
        m_state->lastFile.clear();
        m_state->lastText.clear();
    }
    // Still under the lock, so that no write of this file can start before
    // it is gone.
    RemoveJournal(file);
}

void JournalWriter::Flush() {
    std::unique_lock lock(m_state->mutex);
    m_state->idle.wait(lock, [this] { return !m_state->busy && !m_state->waiting; });
}

int JournalWriter::Writes() const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->writes;
}

void JournalWriter::Run() {
    std::unique_lock lock(m_state->mutex);
    for (;;) {
        m_state->wake.wait(lock, [this] { return m_state->stopping || m_state->waiting; });
        // What is waiting at the end is still written: it holds the newest
        // changes.
        if (!m_state->waiting) return;
        State::Job job = std::move(*m_state->waiting);
        m_state->waiting.reset();
        m_state->busy = true;
        lock.unlock();
        std::string& text = m_state->text;
        text.clear();
        AppendTableSetText(*job.snapshot, text);
        job.snapshot.reset();
        // The same table set in the same file: the journal on the disk
        // already holds it (only its time would change).
        if (job.file == m_state->lastFile && text == m_state->lastText) {
            lock.lock();
            m_state->busy = false;
            m_state->idle.notify_all();
            continue;
        }
        std::string failure;
        try {
            WriteJournal(job.file, job.tableSetPath, job.time, text);
            m_state->lastFile = job.file;
            std::swap(m_state->lastText, text);
        } catch (const IoError& error) {
            failure = error.what();
        } catch (const std::exception& error) {
            failure = error.what();
        }
        if (!failure.empty()) {
            if (m_state->failed) m_state->failed(failure);
        } else if (m_state->written) {
            m_state->written();
        }
        lock.lock();
        if (failure.empty()) ++m_state->writes;
        m_state->busy = false;
        m_state->idle.notify_all();
    }
}

}  // namespace kelvo
