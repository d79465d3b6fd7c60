// Pictures decoded on worker threads while the frame loop goes on drawing and taking input.
// One batch at a time: the pictures of the next arrangement, or the fallback scene's picture.
// The decode needs no device; the textures are filled later on the device's own thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
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

class PictureDecoder {
 public:
  PictureDecoder();
  ~PictureDecoder();  // cancels a running batch and joins the workers
  PictureDecoder(const PictureDecoder&) = delete;
  PictureDecoder& operator=(const PictureDecoder&) = delete;

  // Starts the batch; false (and nothing started) while an earlier batch is not yet taken.
  bool Start(std::vector<DecodeJob> jobs);
  bool Busy() const { return busy_; }
  bool Finished() const;
  // Blocks until the started batch is finished.
  void WaitFinished() const;
  // The decoded pictures in job order (a failed one is empty); the decoder is free again.
  std::vector<imaging::PictureImage> Take();
  // Drops a running batch: the workers stop as soon as they can and are joined.
  void Cancel();
  // Signalled while a finished batch waits to be taken.
  HANDLE FinishedEvent() const { return finished_.get(); }

  // At most four, leaving one processor to the frame loop.
  static unsigned WorkerCount();

 private:
  void StartWorkers();
  void StopWorkers();
  void Work();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<std::thread> workers_;
  std::vector<DecodeJob> jobs_;
  std::vector<imaging::PictureImage> results_;
  size_t nextJob_ = 0;
  size_t jobsDone_ = 0;
  bool stopping_ = false;
  bool busy_ = false;
  std::atomic<bool> keepGoing_{true};
  ScopedHandle finished_;
};
