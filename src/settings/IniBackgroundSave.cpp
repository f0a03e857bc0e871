#include "settings/IniBackgroundSave_p.h"

#include <QMetaObject>
#include <QObject>

namespace qz {

TIniBackgroundSave::TIniBackgroundSave(platform::TPreparedFile file, platform::TFolderLock lock,
                                       QObject* context, std::function<void()> finished)
    : FShared(std::make_shared<TShared>()) {
    FShared->Context = context;
    FShared->Finished = std::move(finished);
    FShared->File = std::move(file);
    FShared->FolderLock = std::move(lock);
    FThread = std::thread(&TIniBackgroundSave::Run, FShared);
}

TIniBackgroundSave::~TIniBackgroundSave() {
    if (FThread.joinable())
        FThread.join();
}

// The stamp is taken before the lock goes, so that it is of this file and
// not of the next writer's.
void TIniBackgroundSave::Run(const std::shared_ptr<TShared>& shared) {
    TOutcome outcome;
    outcome.Result = shared->File.Commit();
    if (outcome.Result.Status == platform::TWriteStatus::Written)
        outcome.Stamp = platform::FileStampOf(outcome.Result.Target);
    shared->FolderLock.Release();
    const std::lock_guard guard(shared->Lock);
    shared->Outcome = outcome;
    shared->Done.store(true, std::memory_order_release);
    if (shared->Context && shared->Finished)
        QMetaObject::invokeMethod(shared->Context, shared->Finished, Qt::QueuedConnection);
}

bool TIniBackgroundSave::Done() const {
    return FShared->Done.load(std::memory_order_acquire);
}

bool TIniBackgroundSave::WaitFor(std::chrono::milliseconds patience) const {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!Done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

TIniBackgroundSave::TOutcome TIniBackgroundSave::Outcome() {
    if (FThread.joinable())
        FThread.join();
    const std::lock_guard guard(FShared->Lock);
    return FShared->Outcome;
}

void TIniBackgroundSave::Abandon() {
    {
        const std::lock_guard guard(FShared->Lock);
        FShared->Context = nullptr;
        FShared->Finished = {};
    }
    if (FThread.joinable())
        FThread.detach();
}

} // namespace qz
