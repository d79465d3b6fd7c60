// The scene advanced as the host does, for tests that want the first arrangement in the first
// frame: the saver decodes it while its loop runs, so here it is waited for and taken at once.
#pragma once

#include "show/show_app.h"
#include "support/host_exposed.h"

inline HRESULT AdvanceShowingTheFirst(Exposed<ShowApp>& app) {
  const HRESULT hr = app.AdvanceScene();
  const bool first = app.State().settingsLoaded ? app.PictureGeneration() == 0
                                                : app.FallbackGeneration() == 0;
  if (!first || !app.Decoder().Busy()) return hr;
  app.Decoder().WaitFinished();
  const float elapsed = app.elapsedTime;
  app.elapsedTime = 0.0f;
  const HRESULT shown = app.AdvanceScene();
  app.elapsedTime = elapsed;
  return shown;
}
