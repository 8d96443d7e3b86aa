#include "frame/recovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "frame/plot_file.h"
#include "platform/folders.h"
#include "platform/platform.h"

namespace recovery {

QString folder() { return folders::location(folders::Kind::Data); }

QString filePath() { return folder() + QStringLiteral("/recovery.vesmar"); }

QString backupPath() { return folder() + QStringLiteral("/recovery-backup.vesmar"); }

namespace {

// Writes on a thread of its own, so that a heavy window's file never holds up
// the window. Only the newest view waiting counts: a write that falls behind
// skips the views it missed. A view is safe to hand over: its pictures are
// shared and never changed once taken.
class Writer {
public:
    Writer() : thread_([this] { loop(); }) {}
    ~Writer() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            job_.reset();
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    void post(View v, QString folder, QString path) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            job_ = Job{std::move(v), std::move(folder), std::move(path)};
        }
        wake_.notify_all();
    }
    // Waits until what was posted is on disk.
    void flush() {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return !job_ && !busy_; });
    }
    // Drops what waits and waits for a write under way to end.
    void cancel() {
        std::unique_lock<std::mutex> lock(mutex_);
        job_.reset();
        done_.wait(lock, [this] { return !busy_; });
    }

private:
    struct Job {
        View view;
        QString folder, path;
    };
    void loop() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return job_ || stopping_; });
            if (stopping_) return;
            Job job = std::move(*job_);
            job_.reset();
            busy_ = true;
            lock.unlock();
            if (QDir().mkpath(job.folder)) plotfile::writeFile(job.path, job.view);
            job = Job{};  // the view's pictures are let go outside the lock
            lock.lock();
            busy_ = false;
            done_.notify_all();
        }
    }
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::optional<Job> job_;
    bool busy_ = false, stopping_ = false;
    std::thread thread_;
};

Writer* writer = nullptr;

// Ended with the application, while everything a view holds is still alive.
void endWriter() {
    delete writer;
    writer = nullptr;
}

}  // namespace

bool write(const View& v) {
    if (folder().isEmpty()) return false;
    if (!writer) {
        // Without an application to end it, the thread would outlive what it writes.
        if (!QCoreApplication::instance())
            return QDir().mkpath(folder()) && plotfile::writeFile(filePath(), v).isEmpty();
        writer = new Writer;
        qAddPostRoutine(endWriter);
    }
    writer->post(v, folder(), filePath());
    return true;
}

void flush() {
    if (writer) writer->flush();
}

void discard() {
    if (writer) writer->cancel();
    if (!folder().isEmpty()) QFile::remove(filePath());
}

namespace {

void keepAsBackup() {
    QFile::remove(backupPath());
    if (!QFile::rename(filePath(), backupPath())) QFile::remove(filePath());
}
}  // namespace

void offer(QWidget* parent) {
    if (folder().isEmpty() || !QFile::exists(filePath())) return;
    const MsgReply reply = platform().messageBox(
        parent, QStringLiteral("上次使用时程序没有正常退出，留下了没有保存的作图。\n是否恢复这些作图？"),
        QStringLiteral("恢复作图"), MsgButtons::YesNo, MsgIcon::Question);
    if (reply != MsgReply::Yes) return keepAsBackup();
    const plotfile::Reading r = plotfile::readFile(filePath());
    if (!r.view || !FamilyManager::instance().showView(*r.view)) {
        platform().messageBox(parent, r.problem, QStringLiteral("恢复作图"), MsgButtons::OK, MsgIcon::Warning);
        return keepAsBackup();
    }
}

}  // namespace recovery
