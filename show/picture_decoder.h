// Pictures decoded on worker threads while the frame loop goes on drawing and taking input.
// One batch at a time: the pictures of the next arrangement, or the fallback scene's picture.
// The decode needs no device; the textures are filled later on the device's own thread.
//
// A picture on a share that stopped answering can hold its worker inside a read for a minute
// or for good, and no Windows read on such a share can be relied on to cancel. So the decoder
// never waits for such a worker: a job that has run longer than the give-up time counts as an
// empty picture for its batch, its worker is left to finish (or to die with the process) and
// a fresh worker takes its place, and later batches skip the same file while it is stalled.
// The workers share their state with the decoder by reference count, so a worker that
// outlives the decoder touches nothing freed.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/scoped_handle.h"
#include "d3dx/picture_texture.h"

struct DecodeJob {
  std::string path;  // empty: no picture (the slot stays an empty frame)
  uint32_t edge = 256;  // square size of the decoded picture
  D3DCOLOR colorKey = 0;
};

// Decodes one job; false from `keepGoing` asks it to give up early. Tests replace it.
using PictureDecodeFn = HRESULT (*)(const DecodeJob& job, const std::atomic<bool>& keepGoing,
                                    imaging::PictureImage& picture);
extern PictureDecodeFn g_pictureDecoder;
HRESULT DecodePictureJob(const DecodeJob& job, const std::atomic<bool>& keepGoing,
                         imaging::PictureImage& picture);

// A picture still being read after this long is given up for its batch.
constexpr DWORD kDecodeGiveUpMs = 4000;
// How long the decoder waits for its workers when it goes away.
constexpr DWORD kWorkerExitWaitMs = 100;

class PictureDecoder {
 public:
  explicit PictureDecoder(DWORD giveUpMs = kDecodeGiveUpMs);
  // Cancels a running batch and waits a moment for the workers; one stuck in a read is left.
  ~PictureDecoder();
  PictureDecoder(const PictureDecoder&) = delete;
  PictureDecoder& operator=(const PictureDecoder&) = delete;

  // Starts the batch; false (and nothing started) while an earlier batch is not yet taken.
  // With no worker thread to be had, the batch is decoded here and now.
  bool Start(std::vector<DecodeJob> jobs);
  bool Busy() const { return busy_; }
  // Every job of the batch is decoded, failed, or given up.
  bool Finished();
  // Waits until Finished(), which the give-up time bounds; for tests and tools.
  void WaitFinished();
  // The decoded pictures in job order (a failed or given-up one is empty); the decoder is
  // free again.
  std::vector<imaging::PictureImage> Take();
  // Drops a running batch: the workers stop as soon as they can.
  void Cancel();
  // Signalled while a finished batch waits to be taken.
  HANDLE FinishedEvent() const { return state_->finished.get(); }

  // At most four, leaving one processor to the frame loop.
  static unsigned WorkerCount();

 private:
  struct Job {
    DecodeJob job;
    imaging::PictureImage result;
    enum class Stage { Waiting, Running, Done, GivenUp } stage = Stage::Waiting;
    ULONGLONG startedAt = 0;
  };
  struct State {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable exited;
    std::vector<Job> jobs;
    std::vector<size_t> queue;  // the jobs workers are to take, in order
    uint64_t batch = 0;  // a worker whose batch is over owns its job no longer
    ULONGLONG batchStartedAt = 0;
    size_t nextJob = 0;  // into queue
    size_t settled = 0;  // jobs done or given up
    unsigned liveWorkers = 0;
    bool stopping = false;
    std::atomic<bool> keepGoing{true};
    std::vector<std::string> stalledPaths;  // read by a worker that was given up on
    ScopedHandle finished;
  };

  // Starts a worker; false when the system will not give us a thread.
  bool AddWorker();
  // Gives up the jobs that have run too long; the caller holds the lock.
  void GiveUpStalledJobs();
  void DecodeHere();
  static void Work(std::shared_ptr<State> state);

  std::shared_ptr<State> state_;
  DWORD giveUpMs_;
  unsigned wantedWorkers_;
  bool busy_ = false;
};
