#pragma once
// Private to the INI file: the durable half of a save (fdatasync and
// rename) on a thread of its own, so that a slow disk never holds up the
// thread that saves. The bytes are already in the temporary file when it
// starts: written on the saving thread, straight from the document, the
// save needs no copy of the file in memory (a copy would be half the size
// of the document again), and the document may change at once.

#include "platform/AtomicFileWrite.h"
#include "platform/FileWriters.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QObject;

namespace qz {

class TIniBackgroundSave {
public:
    struct TOutcome {
        platform::TWriteResult Result;
        platform::TFileStamp Stamp; // of the file just written, taken under the lock
    };

    // Starts committing `file` and keeps `lock` until that is done. Once it
    // is, `finished` runs in the thread of `context` (through its event
    // loop), unless the context is gone or has been let go (Forget).
    TIniBackgroundSave(platform::TPreparedFile file, platform::TFolderLock lock, QObject* context,
                       std::function<void()> finished);
    TIniBackgroundSave(const TIniBackgroundSave&) = delete;
    TIniBackgroundSave& operator=(const TIniBackgroundSave&) = delete;
    // Waits for the thread, however long it takes; Abandon first to leave it.
    ~TIniBackgroundSave();

    [[nodiscard]] bool Done() const;
    // Waits at most `patience`; true once the commit is done.
    [[nodiscard]] bool WaitFor(std::chrono::milliseconds patience) const;
    // What the commit came to; only when Done.
    [[nodiscard]] TOutcome Outcome();
    // Leaves the thread to finish on its own (the process may end first: the
    // old file then stays, and the temporary goes at the next start).
    void Abandon();

private:
    struct TShared {
        std::mutex Lock;
        std::atomic<bool> Done{false};
        QObject* Context = nullptr; // the owner lets go of it (Abandon) before it goes
        std::function<void()> Finished;
        platform::TPreparedFile File;
        platform::TFolderLock FolderLock;
        TOutcome Outcome;
    };
    static void Run(const std::shared_ptr<TShared>& shared);

    std::shared_ptr<TShared> FShared;
    std::thread FThread;
};

} // namespace qz
