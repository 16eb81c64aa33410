#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "app/replay/line_loader.h"
#include "app/replay/line_store.h"

// One recording loading on a thread of its own, so the window's thread goes
// on answering. finished() comes on the object's thread once the load is
// over, unless cancel() came first; after it, end(), error() and lines() say
// how it went. Destroying the object stops the load and waits for its thread,
// which then ends within one read block.
class BackgroundLineLoad : public QObject {
  Q_OBJECT

 public:
  explicit BackgroundLineLoad(std::string path, QObject* parent = nullptr);
  ~BackgroundLineLoad() override;
  BackgroundLineLoad(const BackgroundLineLoad&) = delete;
  BackgroundLineLoad& operator=(const BackgroundLineLoad&) = delete;

  // Bytes read so far and the file's size at the start (0 until known).
  uint64_t doneBytes() const { return done_.load(std::memory_order_relaxed); }
  uint64_t totalBytes() const { return total_.load(std::memory_order_relaxed); }

  // Stops the load; finished() does not come any more.
  void cancel();

  const std::string& path() const { return path_; }
  bool failed() const { return !error_.empty(); }
  // The load's EFileError text when it failed.
  const std::string& error() const { return error_; }
  const LoadResult& result() const { return result_; }
  // The loaded lines, for the caller to take with swap().
  LineStore& lines() { return lines_; }

 signals:
  void finished();

 private:
  void run(const std::string& path);
  void deliver();

  const std::string path_;
  std::atomic<uint64_t> done_{0};
  std::atomic<uint64_t> total_{0};
  std::atomic<bool> cancelled_{false};
  // Written by the thread before it posts finished(), read after.
  LoadResult result_;
  std::string error_;
  LineStore lines_;
  std::thread thread_;
};
