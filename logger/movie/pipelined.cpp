// Encoding beside painting: the worker encodes frame n while the caller paints n + 1.
#include "logger/movie/videowriter.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace movie {

namespace {

class PipelinedWriter : public VideoWriter {
 public:
  explicit PipelinedWriter(std::unique_ptr<VideoWriter> inner) : inner_(std::move(inner)) {
    worker_ = std::thread([this] { run(); });
  }
  ~PipelinedWriter() override { stop(); }

  bool write(const QImage& frame) override {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !slot_ || failed_; });
    if (failed_) return false;
    slot_ = frame;  // shares the pixels; the caller paints the next frame into a new image
    changed_.notify_all();
    return true;
  }

  bool finish() override {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return (!slot_ && !busy_) || failed_; });
    }
    stop();
    return !failed_ && inner_->finish();
  }

  bool alpha() const override { return inner_->alpha(); }  // fixed when the file opened

  // The inner writer is asked only once the worker has ended: until then it may be busy.
  QString error() const override {
    std::lock_guard lock(mutex_);
    return error_.isEmpty() && joined_ ? inner_->error() : error_;
  }

 private:
  void run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return slot_ || stopping_; });
      if (!slot_) return;
      const QImage frame = *slot_;
      slot_.reset();
      busy_ = true;
      const bool skip = failed_;
      changed_.notify_all();
      lock.unlock();
      const bool ok = !skip && inner_->write(frame);
      lock.lock();
      busy_ = false;
      if (!ok && !failed_) {
        failed_ = true;
        error_ = inner_->error();
      }
      changed_.notify_all();
    }
  }

  void stop() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
      slot_.reset();
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
    std::lock_guard lock(mutex_);
    joined_ = true;
  }

  std::unique_ptr<VideoWriter> inner_;
  std::thread worker_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<QImage> slot_;
  bool busy_ = false;
  bool stopping_ = false;
  bool failed_ = false;
  bool joined_ = false;
  QString error_;
};

}  // namespace

std::unique_ptr<VideoWriter> Pipelined(std::unique_ptr<VideoWriter> inner) {
  return std::make_unique<PipelinedWriter>(std::move(inner));
}

}  // namespace movie
