#include "show/picture_decoder.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <utility>

#include "image/image_scale.h"

PictureDecodeFn g_pictureDecoder = DecodePictureJob;

namespace {

// Workers left behind in a stalled read, beyond which no more are started in their place.
constexpr unsigned kMaxStalledWorkers = 8;

bool RemoveOne(std::vector<std::string>& paths, const std::string& path) {
  const auto found = std::find(paths.begin(), paths.end(), path);
  if (found == paths.end()) return false;
  paths.erase(found);
  return true;
}

}  // namespace

HRESULT DecodePictureJob(const DecodeJob& job, const std::atomic<bool>& keepGoing,
                         imaging::PictureImage& picture) {
  return imaging::DecodePictureFile(job.path.c_str(), job.edge, job.edge,
                                    imaging::kFilterLinear, job.colorKey, &keepGoing, picture);
}

PictureDecoder::PictureDecoder(DWORD giveUpMs)
    : state_(std::make_shared<State>()), giveUpMs_(giveUpMs), wantedWorkers_(WorkerCount()) {
  state_->finished.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
}

PictureDecoder::~PictureDecoder() {
  std::unique_lock<std::mutex> lock(state_->mutex);
  state_->stopping = true;
  state_->keepGoing = false;
  state_->wake.notify_all();
  // A worker inside a read that never returns is not waited for: the process may end with it.
  state_->exited.wait_for(lock, std::chrono::milliseconds(kWorkerExitWaitMs),
                          [this] { return state_->liveWorkers == 0; });
}

unsigned PictureDecoder::WorkerCount() {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  // One processor stays with the frame loop, so that frames keep their pace while a change
  // decodes; a single-processor machine still gets one worker.
  const unsigned processors = static_cast<unsigned>(system.dwNumberOfProcessors);
  return std::max(1u, std::min(4u, processors > 1 ? processors - 1 : 1u));
}

bool PictureDecoder::AddWorker() {
  try {
    std::thread(&PictureDecoder::Work, state_).detach();
  } catch (const std::system_error&) {
    return false;
  }
  ++state_->liveWorkers;
  return true;
}

bool PictureDecoder::Start(std::vector<DecodeJob> jobs) {
  if (busy_) return false;
  State& s = *state_;
  bool noWorker;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.jobs.assign(jobs.size(), Job());
    s.queue.clear();
    s.settled = 0;
    for (size_t i = 0; i < jobs.size(); ++i) {
      s.jobs[i].job = std::move(jobs[i]);
      const std::string& path = s.jobs[i].job.path;
      // A file whose last read never came back is not read again while that read hangs.
      if (!path.empty() &&
          std::find(s.stalledPaths.begin(), s.stalledPaths.end(), path) != s.stalledPaths.end()) {
        s.jobs[i].stage = Job::Stage::GivenUp;
        ++s.settled;
      } else {
        s.queue.push_back(i);
      }
    }
    ++s.batch;
    s.batchStartedAt = GetTickCount64();
    s.nextJob = 0;
    s.keepGoing = true;
    busy_ = true;
    const unsigned stalled = static_cast<unsigned>(s.stalledPaths.size());
    while (s.liveWorkers < wantedWorkers_ + std::min(stalled, kMaxStalledWorkers) &&
           AddWorker()) {
    }
    noWorker = s.liveWorkers == 0;
    if (s.settled == s.jobs.size()) SetEvent(s.finished.get());
  }
  if (noWorker) {
    DecodeHere();
  } else {
    s.wake.notify_all();
  }
  return true;
}

void PictureDecoder::DecodeHere() {
  State& s = *state_;
  std::lock_guard<std::mutex> lock(s.mutex);
  for (; s.nextJob < s.queue.size(); ++s.nextJob) {
    Job& job = s.jobs[s.queue[s.nextJob]];
    if (!job.job.path.empty() && FAILED(g_pictureDecoder(job.job, s.keepGoing, job.result))) {
      job.result = imaging::PictureImage();
    }
    job.stage = Job::Stage::Done;
    ++s.settled;
  }
  SetEvent(s.finished.get());
}

void PictureDecoder::GiveUpStalledJobs() {
  State& s = *state_;
  const ULONGLONG now = GetTickCount64();
  // Jobs no worker took (every worker stalled) go when the batch has waited twice as long.
  const bool batchOverdue = now - s.batchStartedAt >= 2ull * giveUpMs_;
  for (Job& job : s.jobs) {
    const bool running = job.stage == Job::Stage::Running && now - job.startedAt >= giveUpMs_;
    const bool waiting = job.stage == Job::Stage::Waiting && batchOverdue;
    if (!running && !waiting) continue;
    job.stage = Job::Stage::GivenUp;
    job.result = imaging::PictureImage();
    ++s.settled;
    if (running) {
      s.stalledPaths.push_back(job.job.path);
      // Someone has to decode the rest of the batch and the next ones.
      if (s.stalledPaths.size() <= kMaxStalledWorkers) AddWorker();
    }
  }
  if (s.settled == s.jobs.size()) SetEvent(s.finished.get());
}

bool PictureDecoder::Finished() {
  std::lock_guard<std::mutex> lock(state_->mutex);
  if (!busy_) return false;
  GiveUpStalledJobs();
  return state_->settled == state_->jobs.size();
}

void PictureDecoder::WaitFinished() {
  while (busy_ && !Finished()) WaitForSingleObject(FinishedEvent(), 50);
}

std::vector<imaging::PictureImage> PictureDecoder::Take() {
  State& s = *state_;
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!busy_ || s.settled != s.jobs.size()) return {};
  busy_ = false;
  ResetEvent(s.finished.get());
  std::vector<imaging::PictureImage> results;
  for (Job& job : s.jobs) results.push_back(std::move(job.result));
  s.jobs.clear();
  s.queue.clear();
  s.nextJob = 0;
  return results;
}

void PictureDecoder::Cancel() {
  State& s = *state_;
  std::lock_guard<std::mutex> lock(s.mutex);
  s.keepGoing = false;
  // Running jobs are given up: a worker that comes back from one finds its batch over.
  for (Job& job : s.jobs) {
    if (job.stage == Job::Stage::Running) s.stalledPaths.push_back(job.job.path);
  }
  ++s.batch;
  s.jobs.clear();
  s.queue.clear();
  s.nextJob = 0;
  s.settled = 0;
  busy_ = false;
  ResetEvent(s.finished.get());
}

void PictureDecoder::Work(std::shared_ptr<State> state) {
  State& s = *state;
  // The saver runs at idle priority; its decoding must not take the machine either.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
  // Pictures of other formats go to the system's codecs, COM objects: one apartment per worker.
  struct Apartment {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ~Apartment() {
      if (SUCCEEDED(hr)) CoUninitialize();
    }
  } apartment;
  std::unique_lock<std::mutex> lock(s.mutex);
  while (!s.stopping) {
    s.wake.wait(lock, [&s] { return s.stopping || s.nextJob < s.queue.size(); });
    if (s.stopping) break;
    const size_t index = s.queue[s.nextJob++];
    Job& taken = s.jobs[index];
    if (taken.stage != Job::Stage::Waiting) continue;  // given up before anyone came
    taken.stage = Job::Stage::Running;
    taken.startedAt = GetTickCount64();
    const DecodeJob job = taken.job;
    const uint64_t batch = s.batch;
    lock.unlock();
    imaging::PictureImage picture;
    if (!job.path.empty() && FAILED(g_pictureDecoder(job, s.keepGoing, picture))) {
      picture = imaging::PictureImage();
    }
    lock.lock();
    if (batch == s.batch && s.jobs[index].stage == Job::Stage::Running) {
      s.jobs[index].result = std::move(picture);
      s.jobs[index].stage = Job::Stage::Done;
      if (++s.settled == s.jobs.size()) SetEvent(s.finished.get());
    } else if (RemoveOne(s.stalledPaths, job.path) &&
               s.liveWorkers > WorkerCount() + s.stalledPaths.size()) {
      break;  // given up on and replaced meanwhile: one worker too many now
    }
  }
  --s.liveWorkers;
  s.exited.notify_all();
}
