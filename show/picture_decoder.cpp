#include "show/picture_decoder.h"

#include <algorithm>
#include <utility>

#include "image/image_scale.h"

PictureDecodeFn g_pictureDecoder = DecodePictureJob;

HRESULT DecodePictureJob(const DecodeJob& job, const std::atomic<bool>& keepGoing,
                         imaging::PictureImage& picture) {
  return imaging::DecodePictureFile(job.path.c_str(), job.edge, job.edge,
                                       imaging::kFilterLinear, job.colorKey, &keepGoing,
                                       picture);
}

PictureDecoder::PictureDecoder() : finished_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

PictureDecoder::~PictureDecoder() { StopWorkers(); }

unsigned PictureDecoder::WorkerCount() {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  // One processor stays with the frame loop, so that frames keep their pace while a change
  // decodes; a single-processor machine still gets one worker.
  const unsigned processors = static_cast<unsigned>(system.dwNumberOfProcessors);
  return std::max(1u, std::min(4u, processors > 1 ? processors - 1 : 1u));
}

bool PictureDecoder::Start(std::vector<DecodeJob> jobs) {
  if (busy_) return false;
  if (workers_.empty()) StartWorkers();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_ = std::move(jobs);
    results_.assign(jobs_.size(), imaging::PictureImage());
    nextJob_ = 0;
    jobsDone_ = 0;
    keepGoing_ = true;
    busy_ = true;
    if (jobs_.empty()) SetEvent(finished_.get());
  }
  wake_.notify_all();
  return true;
}

bool PictureDecoder::Finished() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return busy_ && jobsDone_ == jobs_.size();
}

void PictureDecoder::WaitFinished() const {
  if (busy_) WaitForSingleObject(finished_.get(), INFINITE);
}

std::vector<imaging::PictureImage> PictureDecoder::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!busy_ || jobsDone_ != jobs_.size()) return {};
  busy_ = false;
  ResetEvent(finished_.get());
  jobs_.clear();
  return std::move(results_);
}

void PictureDecoder::Cancel() {
  StopWorkers();
  std::lock_guard<std::mutex> lock(mutex_);
  jobs_.clear();
  results_.clear();
  busy_ = false;
  ResetEvent(finished_.get());
}

void PictureDecoder::StartWorkers() {
  stopping_ = false;
  for (unsigned i = 0; i < WorkerCount(); ++i) workers_.emplace_back(&PictureDecoder::Work, this);
}

void PictureDecoder::StopWorkers() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    keepGoing_ = false;
  }
  wake_.notify_all();
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
}

void PictureDecoder::Work() {
  // The saver runs at idle priority; its decoding must not take the machine either.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
  // Pictures of other formats go to the system's codecs, COM objects: one apartment per worker.
  struct Apartment {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ~Apartment() {
      if (SUCCEEDED(hr)) CoUninitialize();
    }
  } apartment;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || nextJob_ < jobs_.size(); });
    if (stopping_) return;
    const size_t index = nextJob_++;
    const DecodeJob job = jobs_[index];
    lock.unlock();
    imaging::PictureImage picture;
    if (!job.path.empty() && FAILED(g_pictureDecoder(job, keepGoing_, picture))) {
      picture = imaging::PictureImage();
    }
    lock.lock();
    if (stopping_) return;
    results_[index] = std::move(picture);
    if (++jobsDone_ == jobs_.size()) SetEvent(finished_.get());
  }
}
