#include "app/replay/background_load.h"

#include <QMetaObject>

#include <exception>
#include <utility>

BackgroundLineLoad::BackgroundLineLoad(std::string path, QObject* parent) : QObject(parent), path_(std::move(path)) {
  thread_ = std::thread([this] { run(path_); });
}

BackgroundLineLoad::~BackgroundLineLoad() {
  cancel();
  thread_.join();
}

void BackgroundLineLoad::cancel() { cancelled_.store(true); }

void BackgroundLineLoad::run(const std::string& path) {
  try {
    result_ = LoadLines(path, lines_, [this](uint64_t done, uint64_t total) {
      total_.store(total, std::memory_order_relaxed);
      done_.store(done, std::memory_order_relaxed);
      return !cancelled_.load(std::memory_order_relaxed);
    });
  } catch (const EFileError& e) {
    error_ = e.what();
  } catch (const std::exception&) {
    // No memory left for the recording, or no thread to read it with.
    error_ = "Cannot read file " + path;
  }
  // Queued to this object: dropped with it if the window goes first.
  QMetaObject::invokeMethod(this, &BackgroundLineLoad::deliver, Qt::QueuedConnection);
}

void BackgroundLineLoad::deliver() {
  if (!cancelled_.load()) emit finished();
}
