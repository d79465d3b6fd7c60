// Decodes Select Pictures' preview off the dialog's thread. Every request gets a generation
// number; a newer request stops the decode of an older one, and only the newest request's
// picture is handed back, so running through a list of large photos never queues decodes.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "config/picture_preview.h"

class PreviewLoader {
 public:
  PreviewLoader();
  ~PreviewLoader();  // stops a running decode and joins the worker
  PreviewLoader(const PreviewLoader&) = delete;
  PreviewLoader& operator=(const PreviewLoader&) = delete;

  // Starts decoding `path` fitted into a box of boxWidth x boxHeight; when it is done, posts
  // `message` to `window` with the request's generation in wParam.
  uint32_t Request(const std::string& path, int boxWidth, int boxHeight, HWND window,
                   UINT message);
  // Forgets every request: nothing more is posted or handed back for them.
  void Cancel();
  // The decoded picture and the decode's result for `generation`, when that is the newest
  // request and its decode has finished; false otherwise.
  bool Take(uint32_t generation, PreviewPicture& picture, HRESULT& result);

 private:
  struct Job {
    std::string path;
    int boxWidth = 0;
    int boxHeight = 0;
    HWND window = nullptr;
    UINT message = 0;
    uint32_t generation = 0;
  };
  void Work();

  std::mutex mutex_;
  std::condition_variable wake_;
  Job pending_;
  bool hasPending_ = false;
  bool stopping_ = false;
  uint32_t latest_ = 0;
  std::atomic<bool> keepGoing_{true};
  PreviewPicture done_;
  HRESULT doneResult_ = S_OK;
  uint32_t doneGeneration_ = 0;
  bool hasDone_ = false;
  std::thread worker_;  // last: started once everything above is set up
};
