#include "config/preview_loader.h"

#include <objbase.h>

#include <utility>

PreviewLoader::PreviewLoader() : worker_(&PreviewLoader::Work, this) {}

PreviewLoader::~PreviewLoader() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    keepGoing_ = false;
  }
  wake_.notify_all();
  worker_.join();
}

uint32_t PreviewLoader::Request(const std::string& path, int boxWidth, int boxHeight,
                                HWND window, UINT message) {
  uint32_t generation;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    generation = ++latest_;
    pending_ = Job{path, boxWidth, boxHeight, window, message, generation};
    hasPending_ = true;
    hasDone_ = false;
    keepGoing_ = false;  // the decode under way is for an older request
  }
  wake_.notify_all();
  return generation;
}

void PreviewLoader::Cancel() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++latest_;
  hasPending_ = false;
  hasDone_ = false;
  keepGoing_ = false;
  done_.Clear();
}

bool PreviewLoader::Take(uint32_t generation, PreviewPicture& picture, HRESULT& result) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!hasDone_ || doneGeneration_ != generation || generation != latest_) return false;
  picture = std::move(done_);
  result = doneResult_;
  hasDone_ = false;
  return true;
}

void PreviewLoader::Work() {
  // Pictures of other formats go to the system's codecs, which are COM objects.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || hasPending_; });
    if (stopping_) break;
    const Job job = std::move(pending_);
    hasPending_ = false;
    keepGoing_ = true;
    lock.unlock();
    PreviewPicture picture;
    const HRESULT hr =
        picture.Load(job.path.c_str(), job.boxWidth, job.boxHeight, &keepGoing_);
    lock.lock();
    if (stopping_) break;
    if (job.generation != latest_) continue;
    done_ = std::move(picture);
    doneResult_ = hr;
    doneGeneration_ = job.generation;
    hasDone_ = true;
    PostMessageA(job.window, job.message, job.generation, 0);
  }
  lock.unlock();
  if (SUCCEEDED(com)) CoUninitialize();
}
